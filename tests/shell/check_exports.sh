#!/usr/bin/env bash
# Fails unless the plug-in module's dynamic symbol table defines exactly VSTPluginMain and main,
# at one address.
set -euo pipefail
module=$1
defined=$(nm -D --defined-only "$module" | awk '{print $3}' | sort | tr '\n' ' ')
if [ "$defined" != "VSTPluginMain main " ]; then
  echo "exports of $module: '$defined' (expected 'VSTPluginMain main ')" >&2
  exit 1
fi
addresses=$(nm -D --defined-only "$module" | awk '{print $1}' | sort -u | wc -l)
if [ "$addresses" != "1" ]; then
  echo "VSTPluginMain and main are at different addresses in $module" >&2
  exit 1
fi
echo "exports of $module: $defined"
