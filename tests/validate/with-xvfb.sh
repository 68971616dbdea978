#!/usr/bin/env bash
# with-xvfb.sh COMMAND [ARGS...]: runs COMMAND with DISPLAY set to a private Xvfb server on
# a free display number (Xvfb picks it and reports it through -displayfd), then stops it.
set -euo pipefail
if ! command -v Xvfb >/dev/null; then
  echo "with-xvfb: Xvfb is not installed (bash scripts/install-deps.sh gui-test)" >&2
  exit 1
fi
numberfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$numberfile" 2>/dev/null &
xvfb=$!
stop() { kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; rm -f "$numberfile"; }
trap stop EXIT
for _ in $(seq 1 100); do
  [ -s "$numberfile" ] && break
  if ! kill -0 "$xvfb" 2>/dev/null; then echo "with-xvfb: Xvfb did not start" >&2; exit 1; fi
  sleep 0.05
done
number=$(tr -dc '0-9' <"$numberfile")
if [ -z "$number" ]; then echo "with-xvfb: Xvfb reported no display" >&2; exit 1; fi
set +e
DISPLAY=":$number" "$@"
status=$?
set -e
exit $status
