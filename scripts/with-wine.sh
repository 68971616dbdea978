#!/usr/bin/env bash
# Runs a command with a fresh, private Wine prefix: created in a temporary folder, its server
# started and warmed up once (so that each test program does not wait for a lingering
# server), stopped and removed when the command ends. The command's exit code is returned.
# Usage: scripts/with-wine.sh <command> [args...]
set -euo pipefail

WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/sparkwell-wine.XXXXXX")
export WINEPREFIX
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="} # no Mono/Gecko install prompts

cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

wineserver -p
wine cmd /c exit >/dev/null 2>&1

set +e
"$@"
status=$?
set -e
exit $status
