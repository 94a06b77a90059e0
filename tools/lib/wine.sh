# Shared by tools/test and tools/run: a fresh Wine prefix with Korean fonts, a persistent
# wineserver, and Xvfb when there is no display. Everything started is stopped by wine_stop.

wine_make_prefix() {  # wine_make_prefix <folder>
  export WINEPREFIX="$1"
  export WINEARCH=win64
  # No Mono or Gecko installers: the suite needs neither, and they would ask on a dialog.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEDEBUG="${WINEDEBUG:--all}"
  # Wine's recycle bin is the trash of XDG_DATA_HOME: the prefix keeps one of its own, so that a
  # sweep of the bin never empties the Linux user's trash.
  export XDG_DATA_HOME="$WINEPREFIX/xdg-data"
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX" "$XDG_DATA_HOME"
  wineserver -p
  _wine_server_started=1
  wine wineboot -i >/dev/null 2>&1
  wine_unlink_profile
  local reg="$WINEPREFIX/vela-setup.reg"
  python3 "$(dirname "${BASH_SOURCE[0]}")/prefix_settings.py" "$reg"
  wine regedit /S "$reg" >/dev/null 2>&1
}

# Wine links the profile's Desktop, Documents, Downloads, Music, Pictures and Videos to the Linux
# home: whatever sweeps the profile would reach the user's own files. Each link that leads out of
# the prefix becomes an empty folder of the prefix.
wine_unlink_profile() {
  local link
  while IFS= read -r -d '' link; do
    case "$(readlink -f "$link")" in
      "$WINEPREFIX"/*) ;;
      *) rm "$link" && mkdir "$link" ;;
    esac
  done < <(find "$WINEPREFIX/drive_c" -type l -print0)
}

# Fails, naming them, when folders of the prefix lead out of it. The drive letters of dosdevices
# are Wine's own mapping (Z: is the Linux root) and are not folders of the prefix.
wine_check_contained() {
  local outside
  outside=$(find "$WINEPREFIX" -path "$WINEPREFIX/dosdevices" -prune -o -type l -print0 |
    while IFS= read -r -d '' link; do
      case "$(readlink -f "$link")" in "$WINEPREFIX"/*) ;; *) echo "  $link -> $(readlink "$link")" ;; esac
    done)
  if [ -n "$outside" ]; then
    echo "The prefix $WINEPREFIX links outside itself:" >&2
    echo "$outside" >&2
    return 1
  fi
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
