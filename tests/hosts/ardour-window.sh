# shellcheck shell=bash
# Sourced by the Ardour editor tests after ardour-env.sh, under an X server (DISPLAY set):
# Ardour's own window on a prepared session ($session_file) with the plug-in's window open, and
# the user's side of it (the pixels the plug-in's window shows, a click, a save, quitting).
# Callers set plugin_ui to what Ardour shows ("editor" or "UI") and, once found, editor to that
# window's id. Requires xdotool, xwininfo, ImageMagick's import and compare (install-deps group
# gui-test).

[ -n "${DISPLAY:-}" ] || fail "no X display (run under tests/validate/with-xvfb.sh)"
for tool in xdotool xwininfo import compare; do
  command -v $tool >/dev/null || fail "$tool is missing (bash scripts/install-deps.sh gui-test)"
done

# Ardour reopens the plug-in windows that a session saved as open ("P-<route>-<processor>"):
# saves as open the window of the processor named $1 of type $2 on the track "Guitar". $3 is
# the failure when the session holds no such processor.
reopen_plugin_window() {
  local route processor window_state
  route=$(sed -n 's/.*<Route [^>]* id="\([0-9]*\)" name="Guitar".*/\1/p' "$session_file")
  processor=$(sed -n "s/.*<Processor id=\"\\([0-9]*\\)\" name=\"$1\".*type=\"$2\".*/\\1/p" \
    "$session_file")
  if [ -z "$route" ] || [ -z "$processor" ]; then
    fail "$3"
  fi
  window_state="<Window name=\"P-$route-$processor\" visible=\"1\" x-off=\"0\" y-off=\"0\""
  window_state+=" x-size=\"-1\" y-size=\"-1\" custom-ui=\"1\"/>"
  sed -i "s#^</Session>#  <Extra><UI>$window_state</UI></Extra>\n</Session>#" "$session_file"
}

# Starts Ardour on the session, as a user who has been here before (.a7: no welcome wizard)
# and last ran the dummy backend, which Ardour then starts without asking. Ardour is stopped
# when the test ends.
start_ardour() {
  mkdir -p "$XDG_CONFIG_HOME/ardour7"
  touch "$XDG_CONFIG_HOME/ardour7/.a7"
  cat >"$XDG_CONFIG_HOME/ardour7/config" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<Ardour>
  <Config>
    <Option name="hide-dummy-backend" value="0"/>
    <Option name="try-autostart-engine" value="1"/>
  </Config>
  <Extra>
    <AudioMIDISetup>
      <EngineStates>
        <State backend="None (Dummy)" driver="Normal Speed" device="Sine Wave" input-device=""
               output-device="" sample-rate="48000" buffer-size="1024" n-periods="0"
               input-latency="0" output-latency="0" lm-input="" lm-output="" active="1"
               use-buffered-io="0" midi-option="1 in, 1 out, Silence" lru="1">
          <MIDIDevices/>
        </State>
      </EngineStates>
    </AudioMIDISetup>
  </Extra>
</Ardour>
XML
  start=$(date +%s%N)
  ardour -n -a "$session_file" >"$work/ardour.out" 2>&1 &
  ardour_pid=$!
  trap stop_ardour EXIT
}
stop_ardour() {
  if kill -0 "$ardour_pid" 2>/dev/null; then
    kill "$ardour_pid" 2>/dev/null
    sleep 2
    kill -9 "$ardour_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
elapsed() { echo "$((($(date +%s%N) - start) / 1000000)) ms"; }
ardour_failed() {
  tail -20 "$work/ardour.out"
  xwininfo -root -tree | grep -v '(has no name)' | head -20
  fail "$@"
}

# Waits up to 90 s for Ardour's window for the plug-in, the one whose title matches $1; sets
# plugin_window.
wait_for_plugin_window() {
  plugin_window=""
  for _ in $(seq 1 180); do
    kill -0 "$ardour_pid" 2>/dev/null || ardour_failed "Ardour ended while loading the session"
    plugin_window=$(xdotool search --name "$1" || true)
    [ -n "$plugin_window" ] && break
    sleep 0.5
  done
  [ -n "$plugin_window" ] ||
    ardour_failed "Ardour opened no window for the plug-in's $plugin_ui in 90 s"
  echo "$test_name: plug-in window $plugin_window after $(elapsed)"
}

# Differing pixels between the plug-in's window and a picture (channels within 1%).
differing() {
  import -window "$editor" "$work/face.png" 2>/dev/null || { echo unknown; return; }
  compare -metric AE -fuzz 1% "$work/face.png" "$1" null: 2>&1 || true
}

# The plug-in's window must come to show the default front face, the picture $1.
expect_default_face() {
  local face=unknown
  for _ in $(seq 1 50); do
    face=$(differing "$1")
    [ "$face" = 0 ] && break
    sleep 0.2
  done
  [ "$face" = 0 ] || ardour_failed "the $plugin_ui shows $face pixels unlike the default front face"
  echo "$test_name: the $plugin_ui shows the default front face after $(elapsed)"
}

# BOOST (the Effect switch, centred at 104, 186 on the front face): one click turns it off, and
# the window must then differ from the default front face, the picture $1.
click_boost() {
  xdotool mousemove --window "$editor" 104 186 click 1
  for _ in $(seq 1 25); do
    [ "$(differing "$1")" != 0 ] && break
    sleep 0.2
  done
  [ "$(differing "$1")" != 0 ] || ardour_failed "the BOOST switch does not move when clicked"
}

# Saves from the session window (keys go to the window under the pointer: no window manager)
# once Ardour marks the session changed ("*" in its title), until the command $1 finds what it
# wants in the saved session; returns 1 when it never does.
save_session_until() {
  local main_window title saved
  main_window=$( (xdotool search --name '^\*?sparkwell - Ardour$' || true) | head -1)
  [ -n "$main_window" ] || ardour_failed "no session window"
  title=""
  for _ in $(seq 1 20); do
    title=$(xdotool getwindowname "$main_window")
    [ "$title" = "*sparkwell - Ardour" ] && break
    sleep 0.25
  done
  [ "$title" = "*sparkwell - Ardour" ] || ardour_failed "Ardour took no note of the click ($title)"
  xdotool mousemove --window "$main_window" 1000 650
  saved=""
  for _ in $(seq 1 3); do
    xdotool key ctrl+s
    for _ in $(seq 1 20); do
      "$1" && { saved=yes; break 2; }
      sleep 0.25
    done
  done
  [ -n "$saved" ]
}

# Quits with Ctrl+Q; Ardour must end by itself, with status 0, within 30 s.
quit_ardour() {
  local status=""
  xdotool key ctrl+q
  for _ in $(seq 1 120); do
    if ! kill -0 "$ardour_pid" 2>/dev/null; then
      status=0
      wait "$ardour_pid" || status=$?
      break
    fi
    sleep 0.25
  done
  [ -n "$status" ] || ardour_failed "Ardour did not quit within 30 s"
  [ "$status" = 0 ] || ardour_failed "Ardour quit with status $status"
  echo "$test_name: Ardour quit cleanly after $(elapsed)"
}
