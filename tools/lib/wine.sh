# Shared by tools/test and tools/run: a fresh Wine prefix with Korean fonts, a persistent
# wineserver, and Xvfb when there is no display. Everything started is stopped by wine_stop.

wine_make_prefix() {  # wine_make_prefix <folder>
  export WINEPREFIX="$1"
  export WINEARCH=win64
  # No Mono or Gecko installers: the suite needs neither, and they would ask on a dialog.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEDEBUG="${WINEDEBUG:--all}"
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineserver -p
  _wine_server_started=1
  wine wineboot -i >/dev/null 2>&1
  local reg="$WINEPREFIX/vela-setup.reg"
  python3 "$(dirname "${BASH_SOURCE[0]}")/prefix_settings.py" "$reg"
  wine regedit /S "$reg" >/dev/null 2>&1
}

wine_start_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return; fi
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  _wine_xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 1 100); do
    xdpyinfo >/dev/null 2>&1 && return
    sleep 0.1
  done
  echo "Xvfb did not start on $DISPLAY" >&2
  return 1
}

wine_stop() {
  if [ -n "${_wine_server_started:-}" ]; then wineserver -k 2>/dev/null || true; fi
  if [ -n "${_wine_xvfb_pid:-}" ]; then kill "$_wine_xvfb_pid" 2>/dev/null || true; fi
}
