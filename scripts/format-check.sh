#!/usr/bin/env bash
# Fails when a source file under src/, tests/ or bench/ differs from what .clang-format makes
# of it. To fix: clang-format -i on the files it names.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
git ls-files -z 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' \
    | xargs -0 clang-format --dry-run -Werror
