#!/usr/bin/env bash
# Fails unless the UI binary's dynamic symbol table defines exactly lv2ui_descriptor and the
# binary needs no library of its own bundle (the DSP binary above all).
set -euo pipefail
binary=$1
defined=$(nm -D --defined-only "$binary" | awk '{print $3}' | sort | tr '\n' ' ')
if [ "$defined" != "lv2ui_descriptor " ]; then
  echo "exports of $binary: '$defined' (expected 'lv2ui_descriptor ')" >&2
  exit 1
fi
needed=$(readelf -d "$binary" | awk '/NEEDED/ {print $5}' | tr -d '[]' | tr '\n' ' ')
case " $needed " in
  *sparkwell*)
    echo "$binary needs a library of the bundle: $needed" >&2
    exit 1
    ;;
esac
echo "exports of $binary: $defined; needs: $needed"
