#!/usr/bin/env bash
# Builds Reelvane and starts it. Without a display it runs under Xvfb on display :99,
# where tools such as xdotool or import can reach it (DISPLAY=:99; access control off).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    exec ./build/reelvane
fi
display=${REELVANE_XVFB_DISPLAY:-99}
echo "No display found: starting Reelvane under Xvfb on DISPLAY=:$display"
exec xvfb-run -n "$display" -s "-screen 0 1366x900x24 -ac" ./build/reelvane
