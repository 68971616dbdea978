#!/usr/bin/env bash
# check-dsp-headless.sh DSP_BINARY: the LV2 DSP binary (of any processor; readelf and nm read
# every ELF) needs the C and C++ runtimes and libm, nothing else (no X library, so it loads where
# none is installed), and holds nothing of the editor, the toolkit, the pictures or the VST base.
set -euo pipefail
dsp=${1:?usage: check-dsp-headless.sh DSP_BINARY}
fail() {
  echo "$dsp: $*" >&2
  exit 1
}
needed=$(readelf -d "$dsp" | awk '/NEEDED/ {print $5}' | tr -d '[]')
[ -n "$needed" ] || fail "readelf shows no library it needs"
for library in $needed; do
  case $library in
    libc.so.* | libm.so.* | libstdc++.so.* | libgcc_s.so.*) ;;
    libasan.so.* | libubsan.so.* | libtsan.so.*) ;; # a sanitizer build's own runtime
    *) fail "needs $library" ;;
  esac
done
undefined=$(nm -D --undefined-only "$dsp" | awk '{print $2}')
if grep -E '^(xcb_|X[A-Z]|png_)' <<<"$undefined"; then fail "calls the above"; fi
# The class names the type information keeps (stripped or not), and the pictures' PNG signature.
found=$(LC_ALL=C grep -aoE 'sparkwelleditor|AEffGUIEditor|AudioEffect|CFrame|CBitmap|CControl' \
  "$dsp" | sort -u | tr '\n' ' ') || true
[ -z "$found" ] || fail "holds the editor, the toolkit or the VST base: $found"
if LC_ALL=C grep -qa $'\x89PNG' "$dsp"; then fail "holds a PNG picture"; fi
echo "$dsp: needs $(echo $needed), nothing of the editor"
