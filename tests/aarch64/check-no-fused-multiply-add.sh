#!/usr/bin/env bash
# Fails if any of the given aarch64 binaries holds a fused multiply-add instruction (scalar or
# vector: fmadd, fmsub, fnmadd, fnmsub, fmla, fmls). The build turns off GCC's contraction of
# a * b + c, which is on by default for aarch64; a source or a flag that brings it back shows up
# here as well as in the samples.
# Usage: check-no-fused-multiply-add.sh OBJDUMP BINARY...
set -euo pipefail
objdump=$1
shift
status=0
for binary in "$@"; do
  listing=$("$objdump" -d --no-show-raw-insn "$binary")
  instructions=$(grep -cE '^\s+[0-9a-f]+:\s' <<<"$listing" || true)
  fused=$(grep -E '^\s+[0-9a-f]+:\s+(fn?madd|fn?msub|fmla|fmls)\s' <<<"$listing" || true)
  if [ "$instructions" -lt 1000 ]; then
    echo "$binary: only $instructions instructions disassembled; not an aarch64 binary?"
    status=1
  elif [ -n "$fused" ]; then
    echo "$binary: $(wc -l <<<"$fused") fused multiply-add instructions, the first:"
    head -5 <<<"$fused"
    status=1
  else
    echo "$binary: $instructions instructions, none a fused multiply-add"
  fi
done
exit $status
