# shellcheck shell=bash
# Sourced by the Ardour tests with the plug-in module as $1, after they set test_name. Ardour
# gets a private home (its configuration, plug-in cache and scan log live there) and an LXVST
# folder that holds only a copy of the module; run_scanner runs Ardour's own VST 2 scanner on
# that copy, as Ardour does when it finds a new plug-in. Requires Debian's ardour package
# (install-deps group "hosts").
set -euo pipefail

fail() {
  echo "${test_name:?}: FAIL $*" >&2
  exit 1
}

ardour_lib=/usr/lib/ardour7
scanner=$ardour_lib/ardour-vst-scanner
if [ ! -x "$scanner" ] || ! command -v ardour7-lua >/dev/null; then
  fail "Ardour 7 is not installed (bash scripts/install-deps.sh hosts)"
fi
[ -f "${1:-}" ] || fail "no plug-in module at '${1:-}'"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache
export LXVST_PATH=$work/lxvst VST_PATH=$work/lxvst
mkdir -p "$HOME/.local/share" "$LXVST_PATH"
plugin_copy=$LXVST_PATH/sparkwell.so
cp "$1" "$plugin_copy"
# Ardour trusts a cached scan only if the cache file is newer than the module in whole
# seconds: a copy made in the same second as its scan would count as changed since.
touch -d "@$(($(date +%s) - 60))" "$plugin_copy"

# The scanner's output goes to $work/scan.out; returns the scanner's exit status.
run_scanner() {
  local status=0
  LD_LIBRARY_PATH=$ardour_lib timeout 60 "$scanner" -f "$plugin_copy" >"$work/scan.out" 2>&1 ||
    status=$?
  return $status
}
