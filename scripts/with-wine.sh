#!/usr/bin/env bash
# Runs a command with a fresh, private Wine prefix: created in a temporary folder, its server
# started and warmed up once (so that each test program does not wait for a lingering
# server), stopped and removed when the command ends. The command's exit code is returned.
# With --xvfb, a private X server runs for the whole time and DISPLAY names it: Wine binds a
# prefix's desktop to the display it sees first, so the warm-up must already have it.
# Usage: scripts/with-wine.sh [--xvfb] <command> [args...]
set -euo pipefail

xvfb=0
if [ "${1:-}" = "--xvfb" ]; then
  xvfb=1
  shift
fi

WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/sparkwell-wine.XXXXXX")
export WINEPREFIX
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="} # no Mono/Gecko install prompts
xvfb_pid=

cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

if [ $xvfb = 1 ]; then
  # Xvfb picks a free display number itself and writes it to the given descriptor.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$WINEPREFIX/display" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$WINEPREFIX/display" ] && break
    sleep 0.05
  done
  [ -s "$WINEPREFIX/display" ] || { echo "with-wine: Xvfb did not start" >&2; exit 1; }
  export DISPLAY=:$(cat "$WINEPREFIX/display")
fi

wineserver -p
wine cmd /c exit >/dev/null 2>&1

set +e
"$@"
status=$?
set -e
exit $status
