#!/usr/bin/env bash
# Builds the benchmarks in Release (in build-bench/), generates program folders of
# 1,000, 30,000 and 100,000 titles and writes the results to bench/RESULTS.md.
# Other sizes for a quick look: REELVANE_BENCH_SIZES="1000 5000" bash bench/run.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

build=build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target make_catalogue reelvane_bench

# Generated afresh each run (a few seconds), so every run measures the same content.
folders=()
for titles in ${REELVANE_BENCH_SIZES:-1000 30000 100000}; do
    folder="$build/bench-data/$titles"
    rm -rf "$folder"
    "$build/bench/make_catalogue" "$folder" "$titles"
    folders+=("$folder")
done

export QT_QPA_PLATFORM=offscreen
export QT_LOGGING_RULES="qt.qpa.*=false"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
"$build/bench/reelvane_bench" --out bench/RESULTS.md "${folders[@]}"
