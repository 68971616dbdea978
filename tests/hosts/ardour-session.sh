#!/usr/bin/env bash
# ardour-session.sh MODULE: a headless Ardour session (ardour7-lua, no audio hardware) with a
# copy of MODULE in its LXVST folder; ardour-session.lua holds the checks. Ardour reads
# plug-ins from the scanner's cache, so the scanner runs first, as it would in Ardour.
test_name="ardour session"
source "$(dirname "$0")/ardour-env.sh"

run_scanner || echo "$test_name: the scanner exited with status $?"

start=$(date +%s%N)
status=0
SPARKWELL_SESSION_DIR=$work/session SPARKWELL_PLUGIN_COPY=$plugin_copy \
  timeout 120 ardour7-lua "$(dirname "$0")/ardour-session.lua" >"$work/session.out" 2>&1 ||
  status=$?
elapsed_ms=$((($(date +%s%N) - start) / 1000000))
cat "$work/session.out"
echo "$test_name: ardour7-lua exit status $status after $elapsed_ms ms"

case $status in
  0) ;;
  124) fail "the session did not finish within 120 s" ;;
  *) fail "ardour7-lua exited with status $status" ;;
esac
grep -q "^ardour session: session checks passed\$" "$work/session.out" ||
  fail "the session script stopped before its last check"
echo "$test_name: passed"
