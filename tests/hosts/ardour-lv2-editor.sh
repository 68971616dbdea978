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
source "$here/ardour-window.sh"
plugin_ui=UI
golden=$here/../editor/golden/front_program0.png
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

effect_port() { grep -o '<Port symbol="effect" value="[^"]*"' "$session_file" | head -1; }
[ "$(effect_port)" = '<Port symbol="effect" value="1"' ] ||
  fail "Effect does not start on in the prepared session ($(effect_port))"
reopen_plugin_window Sparkwell lv2 "the prepared session holds no Sparkwell LV2 on a track"

start_ardour
wait_for_plugin_window '^Guitar: Sparkwell \(by Quillane\) \[LV2\]$'

# Through suil, Ardour holds the UI in wrapper windows of the same size; the UI's own window
# is the innermost one, the only 450 x 306 window without children.
editors=""
for candidate in $(xwininfo -tree -id "$plugin_window" | awk '$0 ~ / 450x306\+/ {print $1}'); do
  xwininfo -children -id "$candidate" | grep -q '^ *0 children' && editors+=" $candidate"
done
[ "$(wc -w <<<"$editors")" -eq 1 ] ||
  ardour_failed "Ardour's plug-in window holds $(wc -w <<<"$editors") UI windows of 450 x 306"
editor=$(tr -d ' ' <<<"$editors")

expect_default_face "$golden"
click_boost "$golden"

# The change reaches Ardour only through the UI's write function: Ardour marks the session
# changed and saves the port's new value.
effect_saved_off() { [ "$(effect_port)" = '<Port symbol="effect" value="0"' ]; }
save_session_until effect_saved_off ||
  ardour_failed "the session Ardour saved does not hold Effect off ($(effect_port))"
echo "$test_name: Ardour saved Effect off after $(elapsed)"

quit_ardour
echo "$test_name: passed"
