# Sourced by tools/run once the run prefix exists: registers the build's fake update agent in that
# prefix with the demo scenario, so that the patch manager (tools/run 04) searches, downloads and
# installs simulated updates. The fake agent is a test DLL: it is never installed, and this is
# never done on Windows.
fake_agent_dll="$root/build/x86_64/bin/fakeupdateagent.dll"
if [ -f "$fake_agent_dll" ]; then
  wine regsvr32 /s "$(winepath -w "$fake_agent_dll")" >/dev/null 2>&1 ||
    echo "run: the fake update agent could not be registered; the patch manager will find no agent" >&2
  export VELA_FAKE_AGENT_SCENARIO="$(winepath -w "$root/tools/demo/fake-agent.txt")"
  echo "run: the patch manager's updates are simulated by the fake update agent ($root/tools/demo/fake-agent.txt)"
else
  echo "run: $fake_agent_dll is missing; the patch manager will find no agent" >&2
fi
