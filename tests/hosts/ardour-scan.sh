#!/usr/bin/env bash
# ardour-scan.sh MODULE: Ardour's VST 2 scanner (the separate process Ardour starts for
# every new plug-in) on a copy of MODULE. The scanner must exit cleanly, report the plug-in
# and store exactly one entry with Sparkwell's identity in Ardour's plug-in cache.
test_name="ardour scan"
source "$(dirname "$0")/ardour-env.sh"

start=$(date +%s%N)
status=0
run_scanner || status=$?
elapsed_ms=$((($(date +%s%N) - start) / 1000000))
cat "$work/scan.out"
echo "$test_name: scanner exit status $status after $elapsed_ms ms"

case $status in
  0) ;;
  124) fail "the scanner did not finish within 60 s" ;;
  *) fail "the scanner exited with status $status" ;;
esac
grep -q "^\[Info\]: Found Plugin: .* Sparkwell x64\$" "$work/scan.out" ||
  fail "Ardour's scanner found no plug-in in $1"
if grep -E '^\[(ERROR|WARNING)\]' "$work/scan.out"; then
  fail "the scanner reported the problems above"
fi

shopt -s nullglob
scan_cache=$XDG_CACHE_HOME/ardour7/vst
caches=("$scan_cache"/*.v2i)
[ ${#caches[@]} -eq 1 ] || fail "${#caches[@]} cache files in $scan_cache instead of one"
cache=${caches[0]}
cat "$cache"
grep -q "<VST2Cache version=\"1\" binary=\"$plugin_copy\" arch=\"x86_64\">" "$cache" ||
  fail "the cache does not describe $plugin_copy as an x86_64 module"
[ "$(grep -c '<VST2Info ' "$cache")" -eq 1 ] || fail "the cache holds more or fewer than one plug-in"

info=$(grep '<VST2Info ' "$cache")
expect() { # attribute value
  local found
  found=$(sed -n "s/.* $1=\"\([^\"]*\)\".*/\1/p" <<<"$info")
  [ "$found" = "$2" ] || fail "Ardour stored $1=\"$found\", expected \"$2\""
}
expect id 1397446476 # 'SKWL'
expect name "Sparkwell x64"
expect creator Quillane
expect n_inputs 2
expect n_outputs 2
expect n_midi_inputs 0
expect n_midi_outputs 0
expect is_instrument 0
expect can_process_replace 1
expect has_editor 1
echo "$test_name: passed"
