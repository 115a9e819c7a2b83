#!/usr/bin/env bash
# Builds Reelvane and runs every test through CTest, offscreen.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j2 "$@"
