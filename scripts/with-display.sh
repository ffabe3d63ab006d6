#!/usr/bin/env bash
# Runs a command with an X display: the caller's, or a private Xvfb screen started for it and stopped after.
set -euo pipefail
if [[ -n "${DISPLAY:-}" ]] && xdotool getdisplaygeometry >/dev/null 2>&1; then
    exec "$@"
fi
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null || true; rm -f "$display_file"' EXIT
for _ in $(seq 100); do
    [[ -s "$display_file" ]] && break
    sleep 0.1
done
[[ -s "$display_file" ]] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$display_file")"
"$@"
