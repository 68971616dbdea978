#!/usr/bin/env bash
# ardour-lv2-session.sh MODULE BUNDLE: a headless Ardour session (ardour7-lua) with a copy of
# the LV2 BUNDLE as the only plug-in on Ardour's LV2 path besides the system's, and the VST
# MODULE in its LXVST folder to compare with; ardour-lv2-session.lua holds the checks.
test_name="ardour lv2 session"
source "$(dirname "$0")/ardour-env.sh"
[ -d "${2:-}" ] || fail "no LV2 bundle at '${2:-}'"
export LV2_PATH=$work/lv2:/usr/lib/lv2
mkdir -p "$work/lv2"
cp -r "$2" "$work/lv2/sparkwell.lv2"

run_scanner || echo "$test_name: the scanner exited with status $?"
start=$(date +%s%N)
status=0
SPARKWELL_SESSION_DIR=$work/session \
  timeout 120 ardour7-lua "$(dirname "$0")/ardour-lv2-session.lua" >"$work/session.out" 2>&1 ||
  status=$?
elapsed_ms=$((($(date +%s%N) - start) / 1000000))
grep -v -E '^(lilv_world_load|error: failed to open file)' "$work/session.out" || true
echo "$test_name: ardour7-lua exit status $status after $elapsed_ms ms"
case $status in
  0) ;;
  124) fail "the session did not finish within 120 s" ;;
  *) fail "ardour7-lua exited with status $status" ;;
esac
grep -q "^ardour lv2 session: lv2 session checks passed\$" "$work/session.out" ||
  fail "the session script stopped before its last check"
echo "$test_name: passed"
