#!/usr/bin/env bash
# lv2-tools.sh BUILD_DIR: the bundle BUILD_DIR/sparkwell.lv2 through the LV2 tools a packager
# and a user would run. lv2_validate checks the description against the installed LV2
# vocabularies and their schemas (every term defined, every value of the right type and
# range); lv2ls and lv2info, with LV2_PATH pointing at the build folder, must find the
# plug-in, its ports with their scale points and its UI. The DSP binary exports its descriptor
# function and nothing else, and needs no library beyond the C and C++ runtimes.
set -euo pipefail
test_name="lv2 tools"
fail() {
  echo "$test_name: FAIL $*" >&2
  exit 1
}
build=$(cd "${1:?usage: lv2-tools.sh BUILD_DIR}" && pwd)
bundle=$build/sparkwell.lv2
uri=https://quillane.example/lv2/sparkwell
for tool in lv2_validate sord_validate lv2ls lv2info; do
  command -v $tool >/dev/null || fail "$tool is missing (bash scripts/install-deps.sh lv2-test)"
done
for f in manifest.ttl sparkwell.ttl sparkwell_dsp.so; do
  [ -f "$bundle/$f" ] || fail "no $f in $bundle"
done

out=$(lv2_validate "$bundle/manifest.ttl" "$bundle/sparkwell.ttl" 2>&1) || {
  echo "$out"
  fail "lv2_validate rejects the description"
}
grep -v '^Skipping file' <<<"$out"
grep -q '^Found 0 errors' <<<"$out" || fail "lv2_validate did not report 0 errors"
if grep -Ei '^(error|warning)' <<<"$out"; then fail "lv2_validate reported the problems above"; fi

dsp=$bundle/sparkwell_dsp.so
exports=$(nm -D --defined-only "$dsp" | awk '{print $3}')
[ "$exports" = lv2_descriptor ] || fail "sparkwell_dsp.so exports: $exports"

bash "$(dirname "$0")/check-dsp-headless.sh" "$dsp" || fail "sparkwell_dsp.so is not headless"

# lilv takes every entry of an LV2_PATH folder for a bundle and complains about the ones that
# are not; only stdout counts. A relative LV2_PATH crashes lv2ls, so the path is absolute.
listed=$(LV2_PATH=$build lv2ls 2>/dev/null)
[ "$listed" = "$uri" ] || fail "lv2ls lists '$listed' instead of $uri alone"

info=$(LV2_PATH=$build:/usr/lib/lv2 lv2info "$uri" 2>/dev/null) || fail "lv2info does not know $uri"
echo "$info" | sed -n '1,16p'
expect() { # what, extended regular expression, count
  local n
  n=$(grep -cE "$2" <<<"$info" || true)
  [ "$n" -eq "$3" ] || fail "lv2info shows $n $1 instead of $3"
}
expect "plug-in name" '^\s+Name:\s+Sparkwell$' 1
expect "class" '^\s+Class:\s+Distortion Plugin$' 1
expect "author" '^\s+Author:\s+Quillane$' 1
expect "ports" '^\s+Port [0-9]+:$' 13
expect "hard real-time feature" 'lv2core#hardRTCapable' 1
expect "UI" "^\s+$uri#ui\$" 1
expect "X11 UI class" '^\s+Class:\s+http://lv2plug.in/ns/extensions/ui#X11UI$' 1
expect "UI binary" "^\s+Binary: file://$bundle/sparkwell_ui.so\$" 1
i=0
for symbol in in_l in_r out_l out_r gain hpf input grid_current treble pickup transistor stereo effect; do
  # Each port's symbol follows its own heading.
  grep -A12 -E "^\s+Port $i:$" <<<"$info" | grep -qE "^\s+Symbol:\s+$symbol$" ||
    fail "port $i is not '$symbol'"
  i=$((i + 1))
done
for point in '0.0 = "None"' '1.0 = "Hot HB"' '2.0 = "HB"' '3.0 = "P90"' '4.0 = "SC"' \
  '0.0 = "2SB175"' '1.0 = "AC128"' '0.0 = "Stereo"' '1.0 = "Mono"' '0.0 = "Off"' '1.0 = "On"'; do
  grep -qF "$point" <<<"$info" || fail "lv2info shows no scale point $point"
done
expect "dB ranges" '^\s+Minimum:\s+-(50|30)\.000000$' 2
echo "$test_name: passed"
