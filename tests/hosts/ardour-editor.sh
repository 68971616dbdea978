#!/usr/bin/env bash
# ardour-editor.sh MODULE (under an X server, DISPLAY set): Ardour's own window on a session
# with MODULE on a track, the plug-in's editor window open. The editor must appear as one
# 450 x 306 child of Ardour's plug-in window and show the front face of the default
# program; a click on the BOOST switch must reach Ardour as an automation of "Effect" (the
# value Ardour saves with the session); Ardour must then quit cleanly.
test_name="ardour editor"
here=$(cd "$(dirname "$0")" && pwd)
source "$here/ardour-env.sh"
source "$here/ardour-window.sh"
plugin_ui=editor
golden=$here/../editor/golden/front_program0.png

run_scanner || echo "$test_name: the scanner exited with status $?"
SPARKWELL_SESSION_DIR=$work/session timeout 60 ardour7-lua "$here/ardour-editor-session.lua" \
  >"$work/prepare.out" 2>&1 || { cat "$work/prepare.out"; fail "the session was not prepared"; }
session_file=$work/session/sparkwell.ardour

grep -q 'param-9="1"' "$session_file" || fail "Effect does not start on in the prepared session"
grep -q 'parameter-changed-since-last-preset="0"' "$session_file" ||
  fail "the prepared session already counts a change from the plug-in"
reopen_plugin_window "Sparkwell x64" lxvst "the prepared session holds no Sparkwell track"

start_ardour
wait_for_plugin_window '^Guitar: Sparkwell x64 \(by Quillane\) \[VST\]$'

# The editor is the plug-in's own child window somewhere below Ardour's window.
editors=$(xwininfo -tree -id "$plugin_window" | awk '$0 ~ / 450x306\+/ {print $1}')
[ "$(wc -w <<<"$editors")" -eq 1 ] ||
  ardour_failed "Ardour's plug-in window holds $(wc -w <<<"$editors") windows of 450 x 306"
editor=$editors

expect_default_face "$golden"
click_boost "$golden"

# The change reaches Ardour only as audioMasterAutomate: Ardour marks the session changed and
# the plug-in's values as changed since the last preset.
effect_saved_off() { grep -q 'param-9="0"' "$session_file"; }
save_session_until effect_saved_off ||
  ardour_failed "the session Ardour saved does not hold Effect off"
grep -q 'parameter-changed-since-last-preset="1"' "$session_file" ||
  ardour_failed "Ardour saved no change from the plug-in"
echo "$test_name: Ardour saved Effect off as a change from the plug-in after $(elapsed)"

quit_ardour
echo "$test_name: passed"
