#!/usr/bin/env bash
# Seeded-fault check: does the test suite catch realistic faults?
#
# Each tests/faults/NN-name.diff is one small fault in src/. In a scratch copy of the tree,
# configured and built once, every patch is applied, the tree rebuilt (-j2), the tests run
# until the first failure (the patched area's tests first), and the patch reverted. A
# patch that does not apply or does not compile is reported as such, never as caught.
# A tool for people changing the tests; not part of CI.
#
#   bash scripts/fault-check.sh [options] [PATTERN...]
#
# PATTERN picks faults by number or glob: 07, 12-genre*, '*paste*' (default: all).
#   -t, --tree DIR      the tree to check (default: this script's repository); its working
#                       files are copied, uncommitted changes included, build folders not
#   -f, --faults DIR    the patches (default: TREE/tests/faults)
#   -w, --work DIR      the scratch folder (default: a new temporary one, removed at the end);
#                       an existing one is refreshed and its build reused
#   -o, --out FILE      also write the table as Markdown rows to FILE
#   --no-baseline       skip the unpatched run (it makes sure the suite passes first)
#   --keep              keep the temporary scratch folder
set -uo pipefail

# Everything is read before anything runs: editing this file during a run is safe.
main() {
    here="$(cd "$(dirname "$0")/.." && pwd)"
    tree="$here"
    faults=""
    work=""
    out=""
    baseline=1
    keep=0
    patterns=()

    usage() { sed -n '2,/^set -uo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit "${1:-0}"; }

    while [ $# -gt 0 ]; do
        case "$1" in
        -t | --tree) tree="$(cd "$2" && pwd)" || exit 2; shift 2 ;;
        -f | --faults) faults="$(cd "$2" && pwd)" || exit 2; shift 2 ;;
        -w | --work) work="$2"; shift 2 ;;
        -o | --out) out="$2"; shift 2 ;;
        --no-baseline) baseline=0; shift ;;
        --keep) keep=1; shift ;;
        -h | --help) usage ;;
        -*) echo "Unknown option $1" >&2; usage 2 ;;
        *) patterns+=("$1"); shift ;;
        esac
    done
    faults="${faults:-$tree/tests/faults}"

    # The faults to run, in name order.
    selected=()
    for patch in "$faults"/*.diff; do
        [ -e "$patch" ] || continue
        name="$(basename "$patch" .diff)"
        if [ ${#patterns[@]} -eq 0 ]; then
            selected+=("$patch")
            continue
        fi
        for p in "${patterns[@]}"; do
            # shellcheck disable=SC2254
            case "$name" in
            $p | $p-* | $p*.diff) selected+=("$patch"); break ;;
            esac
        done
    done
    if [ ${#selected[@]} -eq 0 ]; then
        echo "No fault patches match in $faults" >&2
        exit 2
    fi

    temporary=0
    if [ -z "$work" ]; then
        work="$(mktemp -d "${TMPDIR:-/tmp}/reelvane-faults.XXXXXX")"
        temporary=1
    fi
    mkdir -p "$work"
    work="$(cd "$work" && pwd)"
    src="$work/tree"
    build="$work/build"
    log="$work/log"
    mkdir -p "$src" "$log"
    cleanup() {
        if [ "$temporary" = 1 ] && [ "$keep" = 0 ]; then
            rm -rf "$work"
        fi
    }
    trap cleanup EXIT

    # The working files of the tree (tracked and new, not ignored), or everything but builds.
    # They are unpacked beside the copy and only changed files are copied over, so a reused
    # scratch folder rebuilds only what changed.
    echo "Copying $tree to $src"
    incoming="$work/incoming"
    rm -rf "$incoming"
    mkdir -p "$incoming"
    if git -C "$tree" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        (cd "$tree" && git ls-files -z --cached --others --exclude-standard |
            tar --null --no-recursion --ignore-failed-read -T - -cf - 2>/dev/null) | tar -C "$incoming" -xf -
    else
        (cd "$tree" && tar --exclude='./build*' -cf - .) | tar -C "$incoming" -xf -
    fi || { echo "Cannot copy the tree" >&2; exit 2; }
    if [ -z "$(ls -A "$src")" ]; then
        rmdir "$src" && mv "$incoming" "$src"
    else
        (cd "$incoming" && find . -type f -print0) | while IFS= read -r -d '' file; do
            if ! cmp -s "$incoming/$file" "$src/$file"; then
                mkdir -p "$(dirname "$src/$file")"
                cp "$incoming/$file" "$src/$file"
            fi
        done
        (cd "$src" && find . -path ./.git -prune -o -type f -print0) |
            while IFS= read -r -d '' file; do
                [ -e "$incoming/$file" ] || rm -f "$src/$file"
            done
    fi
    rm -rf "$incoming"
    # A repository of its own, so that git apply works on the copy's paths only.
    [ -d "$src/.git" ] || git init -q "$src"

    export QT_QPA_PLATFORM=offscreen
    unset CI # warnings do not stop a fault's build

    echo "Configuring $build"
    # Optimised a little, without debug information: quicker to compile and link than a
    # release or debug build, and the faults' rebuilds are most of the run's time.
    # Linked with lld or gold where present: some forty test programs relink per fault.
    local linker=""
    if command -v ld.lld >/dev/null; then
        linker="-fuse-ld=lld"
    elif command -v ld.gold >/dev/null; then
        linker="-fuse-ld=gold"
    fi
    if ! cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=FaultCheck \
        -DCMAKE_CXX_FLAGS_FAULTCHECK="-O1 -DNDEBUG" -DCMAKE_EXE_LINKER_FLAGS="$linker" \
        >"$log/configure.txt" 2>&1; then
        echo "Configuring failed; see $log/configure.txt" >&2
        exit 2
    fi
    # One build of everything: naming the test targets one by one makes make check the
    # shared libraries' generated files once per target, minutes per fault.
    build_tree() {
        cmake --build "$build" -j2 >"$1" 2>&1
    }

    # Builds the test folders of the given labels (each folder's Makefile builds its tests
    # and what they link, in one pass), or everything when that is not possible.
    build_area() {
        local output="$1" label
        shift
        : >"$output"
        for label in "$@"; do
            if [ -f "$build/tests/$label/Makefile" ]; then
                make -C "$build/tests/$label" -j2 >>"$output" 2>&1 || return 1
            else
                build_tree "$output" || return 1
                return 0
            fi
        done
    }

    # Runs the tests of the given label regex (or, with -LE, all others) until the first
    # failure. Prints "name status" of the first failing test, or nothing when all pass.
    run_tests() {
        local output="$1"
        shift
        ctest --test-dir "$build" -j2 --stop-on-failure "$@" >>"$output" 2>&1
        first_failure "$output"
    }

    first_failure() {
        grep -E 'Test +#[0-9]+: ' "$1" | grep -vE ' Passed | Start |\*\*\*Skipped ' | head -n 1 |
            sed -E 's/.*Test +#[0-9]+: ([^ ]+) .*\*\*\*([A-Za-z]+).*/\1 \2/; s/.*Test +#[0-9]+: ([^ ]+) .*/\1 Failed/'
    }

    # Labels of the areas a patch touches (src/<area>/...; app changes are end to end, and
    # the catalogue folder rule's table is app's).
    labels_of() {
        sed -n 's#^+++ b/src/\([a-z]*\)/.*#\1#p' "$1" | sort -u |
            sed 's/^app$/app|reliability/' | paste -sd'|' -
    }

    echo "Building (first build takes a while)"
    if ! build_tree "$log/build-clean.txt"; then
        echo "The unpatched tree does not build; see $log/build-clean.txt" >&2
        exit 2
    fi
    if [ "$baseline" = 1 ]; then
        echo "Running the unpatched suite"
        : >"$log/tests-clean.txt"
        first="$(run_tests "$log/tests-clean.txt")"
        if [ -n "$first" ]; then
            echo "The unpatched suite fails ($first); see $log/tests-clean.txt" >&2
            exit 2
        fi
    fi

    results="$work/results.txt"
    : >"$results"
    [ -n "$out" ] && : >"$out"
    caught=0
    missed=0
    broken=0
    printf '%-48s %-14s %s\n' "fault" "result" "first failing test"
    for patch in "${selected[@]}"; do
        name="$(basename "$patch" .diff)"
        start=$SECONDS
        test_name=""
        result=""
        if ! (cd "$src" && git apply --check "$patch" 2>/dev/null); then
            result="does not apply"
        elif ! (cd "$src" && git apply "$patch"); then
            result="does not apply"
        else
            # The patched areas' tests first: most faults are caught there, and only their
            # programs need relinking for it.
            mapfile -t areas < <(labels_of "$patch" | tr '|' '\n')
            labels="$(labels_of "$patch")"
            : >"$log/$name-tests.txt"
            first=""
            if ! build_area "$log/$name-build.txt" "${areas[@]}"; then
                result="broken patch"
            else
                first="$(run_tests "$log/$name-tests.txt" -L "$labels")"
                if [ -z "$first" ]; then
                    if ! build_tree "$log/$name-build-all.txt"; then
                        result="broken patch"
                    else
                        first="$(run_tests "$log/$name-tests.txt" -LE "$labels")"
                    fi
                fi
            fi
            if [ "${result:-}" = "broken patch" ]; then
                test_name="$(cat "$log/$name"-build*.txt | grep -m1 -E 'error' | cut -c1-80)"
            elif [ -n "$first" ]; then
                result="caught"
                test_name="$first"
            else
                result="MISSED"
            fi
            if ! (cd "$src" && git apply -R "$patch"); then
                echo "Cannot revert $name; stopping" >&2
                exit 2
            fi
        fi
        case "$result" in
        caught) caught=$((caught + 1)) ;;
        MISSED) missed=$((missed + 1)) ;;
        *) broken=$((broken + 1)) ;;
        esac
        line="$(printf '%-48s %-14s %s' "$name" "$result" "$test_name")"
        echo "$line   ($((SECONDS - start)) s)"
        echo "$line" >>"$results"
        [ -n "$out" ] && echo "| $name | $result | ${test_name:-} |" >>"$out"
    done

    total=$((caught + missed))
    echo
    echo "Caught $caught of $total faults ($missed missed, $broken patches broken or not applying)."
    echo "Logs: $log"
    [ "$missed" -eq 0 ] && [ "$broken" -eq 0 ]
}

main "$@"
