#!/usr/bin/env bash
# The demo phrase through the aarch64 plug-ins (under the emulator) and the x86-64 ones, with
# program 0 and with the demo's hot setting, through the VST module (the renderer) and through
# the LV2 DSP binary (a minimal LV2 host): every sample must be the same bits.
#
# The x86-64 renderer's demo writes the phrase itself (dry.wav: Effect Off passes the input
# through untouched) and its two renders through the VST module. The phrase is synthesised
# with the C library's sine and power functions, whose last bits may differ between the two
# processors' libraries, so every other render takes that same dry.wav as its input.
# Usage: demo-matches-x86-64.sh WORK_DIR X86_64_BUILD AARCH64_BUILD EMULATOR...
set -euo pipefail
work=$1 native=$2 cross=$3
shift 3
emulator=("$@")
here=$(dirname "$0")

rm -rf "$work"
mkdir -p "$work/x86-64" "$work/aarch64"
phrase=$work/x86-64/dry.wav
"$native/sparkwell-render" demo "$work/x86-64" --plugin "$native/sparkwell.so" >/dev/null

# The demo's settings (tools/render/command_demo.cpp) on top of program 0.
hot=(--set Transistor=AC128 --set "Grid Current=0.6" --set Pickup=SC)
"${emulator[@]}" "$cross/sparkwell-render" render "$phrase" "$work/aarch64/program0.wav" \
  --program 0 --plugin "$cross/sparkwell.so" >/dev/null
"${emulator[@]}" "$cross/sparkwell-render" render "$phrase" "$work/aarch64/hot.wav" \
  --program 0 "${hot[@]}" --plugin "$cross/sparkwell.so" >/dev/null

# The same two through the LV2 ports 4 to 12 (Gain and Input in dB, Pickup, Transistor, Stereo
# and Effect as scale points): program 0 is -8 dB, HPF 1, 0 dB, Grid Current 0, Treble 1, "HB",
# "2SB175", "Mono", on.
program0=(4=-8 5=1 6=0 7=0 8=1 9=2 10=0 11=1 12=1)
hotPorts=(4=-8 5=1 6=0 7=0.6 8=1 9=4 10=1 11=1 12=1)
lv2() { # side, take, ports...
  local side=$1 take=$2
  shift 2
  local build=$native runner=()
  if [ "$side" = aarch64 ]; then build=$cross runner=("${emulator[@]}"); fi
  "${runner[@]}" "$build/tests/aarch64/sparkwell-lv2-render" \
    "$build/sparkwell.lv2/sparkwell_dsp.so" "$build/sparkwell.lv2/" "$phrase" \
    "$work/$side/lv2-$take.wav" "$@"
}
for side in x86-64 aarch64; do
  lv2 "$side" program0 "${program0[@]}"
  lv2 "$side" hot "${hotPorts[@]}"
done

status=0
for take in program0 hot lv2-program0 lv2-hot; do
  python3 "$here/compare-float-wav.py" "$work/x86-64/$take.wav" "$work/aarch64/$take.wav" ||
    status=1
done
# The bundle's binary sounds as the module does, on each processor.
for take in program0 hot; do
  python3 "$here/compare-float-wav.py" "$work/aarch64/$take.wav" "$work/aarch64/lv2-$take.wav" ||
    status=1
done
exit $status
