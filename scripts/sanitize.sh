#!/usr/bin/env bash
# Builds everything with the address and undefined-behaviour sanitizers into build-asan/
# and runs every test there, offscreen. Arguments go on to ctest (e.g. -L storage).
# Any finding stops the program at once, so the test that ran it fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=0:detect_stack_use_after_return=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DREELVANE_SANITIZE="address;undefined" >/dev/null
cmake --build build-asan -j2
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build-asan --output-on-failure -j2 "$@"
