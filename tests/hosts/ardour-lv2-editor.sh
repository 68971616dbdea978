#!/usr/bin/env bash
# ardour-lv2-editor.sh MODULE BUNDLE (under an X server, DISPLAY set): Ardour's own window on a
# session with the LV2 plug-in of BUNDLE (build/sparkwell.lv2) on a track, its UI open, with
# the VST MODULE installed beside it as a user of both formats has them. Ardour must embed the
# LV2 UI (through suil) as one 450 x 306 window showing the front face of the default program;
# a click on the BOOST switch must reach Ardour as a change of the "effect" port (the value
# Ardour saves with the session); Ardour must then quit cleanly.
test_name="ardour lv2 editor"
here=$(cd "$(dirname "$0")" && pwd)
bundle=${2:-}
source "$here/ardour-env.sh"
golden=$here/../editor/golden/front_program0.png
[ -n "${DISPLAY:-}" ] || fail "no X display (run under tests/validate/with-xvfb.sh)"
for tool in xdotool xwininfo import compare; do
  command -v $tool >/dev/null || fail "$tool is missing (bash scripts/install-deps.sh gui-test)"
done
for file in manifest.ttl sparkwell.ttl sparkwell_dsp.so sparkwell_ui.so; do
  [ -f "$bundle/$file" ] || fail "no $file in the bundle '$bundle'"
done

# Ardour finds LV2 plug-ins through lilv, which reads LV2_PATH: only our bundle, copied.
export LV2_PATH=$work/lv2
mkdir -p "$LV2_PATH"
cp -r "$bundle" "$LV2_PATH/sparkwell.lv2"

SPARKWELL_SESSION_DIR=$work/session SPARKWELL_PLUGIN_FORMAT=lv2 timeout 60 ardour7-lua \
  "$here/ardour-editor-session.lua" >"$work/prepare.out" 2>&1 ||
  { cat "$work/prepare.out"; fail "the session was not prepared"; }
session_file=$work/session/sparkwell.ardour

# Ardour reopens the plug-in windows that a session saved as open ("P-<route>-<processor>").
route=$(sed -n 's/.*<Route [^>]* id="\([0-9]*\)" name="Guitar".*/\1/p' "$session_file")
processor=$(sed -n 's/.*<Processor id="\([0-9]*\)" name="Sparkwell".*type="lv2".*/\1/p' \
  "$session_file")
if [ -z "$route" ] || [ -z "$processor" ]; then
  fail "the prepared session holds no Sparkwell LV2 on a track"
fi
effect_port() { grep -o '<Port symbol="effect" value="[^"]*"' "$session_file" | head -1; }
[ "$(effect_port)" = '<Port symbol="effect" value="1"' ] ||
  fail "Effect does not start on in the prepared session ($(effect_port))"
window_state="<Window name=\"P-$route-$processor\" visible=\"1\" x-off=\"0\" y-off=\"0\""
window_state+=" x-size=\"-1\" y-size=\"-1\" custom-ui=\"1\"/>"
sed -i "s#^</Session>#  <Extra><UI>$window_state</UI></Extra>\n</Session>#" "$session_file"

# A user who has been here before (.a7: no welcome wizard) and last ran the dummy backend,
# which Ardour then starts without asking.
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
stop_ardour() {
  if kill -0 "$ardour_pid" 2>/dev/null; then
    kill "$ardour_pid" 2>/dev/null
    sleep 2
    kill -9 "$ardour_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap stop_ardour EXIT
elapsed() { echo "$((($(date +%s%N) - start) / 1000000)) ms"; }
ardour_failed() {
  tail -20 "$work/ardour.out"
  xwininfo -root -tree | grep -v '(has no name)' | head -20
  fail "$@"
}

plugin_window=""
for _ in $(seq 1 180); do
  kill -0 "$ardour_pid" 2>/dev/null || ardour_failed "Ardour ended while loading the session"
  plugin_window=$(xdotool search --name '^Guitar: Sparkwell \(by Quillane\) \[LV2\]$' || true)
  [ -n "$plugin_window" ] && break
  sleep 0.5
done
[ -n "$plugin_window" ] || ardour_failed "Ardour opened no window for the plug-in's UI in 90 s"
echo "$test_name: plug-in window $plugin_window after $(elapsed)"

# Through suil, Ardour holds the UI in wrapper windows of the same size; the UI's own window
# is the innermost one, the only 450 x 306 window without children.
editors=""
for candidate in $(xwininfo -tree -id "$plugin_window" | awk '$0 ~ / 450x306\+/ {print $1}'); do
  xwininfo -children -id "$candidate" | grep -q '^ *0 children' && editors+=" $candidate"
done
[ "$(wc -w <<<"$editors")" -eq 1 ] ||
  ardour_failed "Ardour's plug-in window holds $(wc -w <<<"$editors") UI windows of 450 x 306"
editor=$(tr -d ' ' <<<"$editors")

# Differing pixels between the UI's window and a picture (channels within 1%).
differing() {
  import -window "$editor" "$work/face.png" 2>/dev/null || { echo unknown; return; }
  compare -metric AE -fuzz 1% "$work/face.png" "$1" null: 2>&1 || true
}
face=unknown
for _ in $(seq 1 50); do
  face=$(differing "$golden")
  [ "$face" = 0 ] && break
  sleep 0.2
done
[ "$face" = 0 ] || ardour_failed "the UI shows $face pixels unlike the default front face"
echo "$test_name: the UI shows the default front face after $(elapsed)"

# BOOST (the Effect switch, centred at 104, 186 on the front face): one click turns it off.
xdotool mousemove --window "$editor" 104 186 click 1
for _ in $(seq 1 25); do
  [ "$(differing "$golden")" != 0 ] && break
  sleep 0.2
done
[ "$(differing "$golden")" != 0 ] || ardour_failed "the BOOST switch does not move when clicked"

# Save from the session window (keys go to the window under the pointer: no window manager).
# The change reaches Ardour only through the UI's write function: Ardour marks the session
# changed ("*" in its title) and saves the port's new value.
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
    [ "$(effect_port)" = '<Port symbol="effect" value="0"' ] && { saved=yes; break 2; }
    sleep 0.25
  done
done
[ -n "$saved" ] || ardour_failed "the session Ardour saved does not hold Effect off ($(effect_port))"
echo "$test_name: Ardour saved Effect off after $(elapsed)"

xdotool key ctrl+q
status=""
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
echo "$test_name: passed"
