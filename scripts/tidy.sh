#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy: function size, bug-prone constructs, unused code) over the
# program's sources, with the compile commands of build/. Pass files to check only those.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-tidy >/dev/null || { echo "clang-tidy is not installed (Debian: clang-tidy)" >&2; exit 1; }
cmake -S . -B build -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
cmake --build build -j2 >/dev/null # the generated moc and ui headers the sources include
if [[ $# -eq 0 ]]; then
    mapfile -t files < <(git ls-files 'src/*.cpp')
else
    files=("$@")
fi
status=0
for file in "${files[@]}"; do
    clang-tidy -p build --quiet "$file" 2>/dev/null || status=1
done
exit $status
