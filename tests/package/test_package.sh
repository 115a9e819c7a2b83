#!/usr/bin/env bash
# test_package.sh FOLDER VERSION: unpacks FOLDER/reelvane_VERSION_*.deb into a temporary
# root, checks its layout, desktop entry and metainfo, then starts the unpacked program
# twice with a temporary home: the first start makes the per-user catalogue from the
# template, the second uses it as it is, and the template never changes.
set -uo pipefail
folder=$1 version=$2
shopt -s nullglob
debs=("$folder"/reelvane_"$version"_*.deb)
if [[ ${#debs[@]} -eq 0 ]]; then
    echo "Skipped: no reelvane_${version}_*.deb in $folder (bash scripts/package.sh builds it)"
    exit 77
fi
deb=${debs[0]}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

root=$work/root
dpkg-deb -x "$deb" "$root" || { echo "FAIL: cannot unpack $deb"; exit 1; }
[[ $(dpkg-deb -f "$deb" Package) == reelvane ]] || fail "package name"
[[ $(dpkg-deb -f "$deb" Version) == "$version" ]] || fail "version"
[[ $(dpkg-deb -f "$deb" Depends) == *libqt6widgets6* ]] || fail "Depends lacks Qt: $(dpkg-deb -f "$deb" Depends)"

share=$root/usr/share
for file in usr/bin/reelvane usr/share/reelvane/dvd_collection.mdb \
    usr/share/reelvane/images/nothing.jpg usr/share/reelvane/images/no_records.jpg \
    usr/share/applications/reelvane.desktop usr/share/metainfo/com.quorvel.reelvane.metainfo.xml \
    usr/share/man/man1/reelvane.1.gz usr/share/doc/reelvane/copyright; do
    [[ -f $root/$file ]] || fail "missing /$file"
done
for side in 16 24 32 48 64 128 256; do
    [[ -f $share/icons/hicolor/${side}x$side/apps/reelvane.png ]] || fail "missing ${side}px icon"
done
# Nothing beside the executable: a catalogue there would make the install portable.
[[ $(ls "$root/usr/bin") == reelvane ]] || fail "usr/bin holds more than the program"
[[ -z $(find "$share/reelvane" -perm /022) ]] || fail "the template is writable by others"

desktop-file-validate "$share/applications/reelvane.desktop" || fail "desktop entry"
grep -qx 'Exec=reelvane' "$share/applications/reelvane.desktop" || fail "Exec line"
appstreamcli validate --no-net --pedantic "$share/metainfo/com.quorvel.reelvane.metainfo.xml" \
    || fail "metainfo"

program=$root/usr/bin/reelvane
[[ $("$program" --version) == "Reelvane $version" ]] || fail "--version: $("$program" --version)"

export HOME=$work/home XDG_DATA_HOME=$work/data
mkdir -p "$HOME"
data=$XDG_DATA_HOME/reelvane
(cd "$share/reelvane" && find . -type f -exec sha256sum {} + | sort) >"$work/template.sums"

# The program runs until it is ended: still running after the splash and the main
# window's load means the catalogue opened.
start() {
    timeout 10 "$program" >"$work/out" 2>&1
    local status=$?
    [[ $status -eq 124 ]] || { fail "$1: ended with $status: $(cat "$work/out")"; return 1; }
}

if start "first start"; then
    [[ $(head -c 15 "$data/dvd_collection.mdb") == "SQLite format 3" ]] || fail "no per-user catalogue"
    for picture in nothing.jpg no_records.jpg; do
        cmp -s "$data/images/$picture" "$share/reelvane/images/$picture" || fail "picture $picture"
    done
    [[ -z $(find "$data" -name '*.partial') ]] || fail "a temporary copy was left"
    [[ -e $data/dvd_collection.mdb.lock ]] || fail "the lock file is not beside the catalogue"
    inode=$(stat -c %i "$data/dvd_collection.mdb")
    echo cover >"$data/images/1.jpg"
    if start "second start"; then
        [[ $(stat -c %i "$data/dvd_collection.mdb") == "$inode" ]] || fail "the catalogue was made again"
        [[ -f $data/images/1.jpg ]] || fail "a cover was lost"
    fi
fi
(cd "$share/reelvane" && find . -type f -exec sha256sum {} + | sort) | cmp -s - "$work/template.sums" \
    || fail "the template changed"

# Without the template, the per-user folder is not made up: a message (its box waits for
# an answer, so the program is ended), no catalogue.
rm -rf "$share/reelvane" "$data"
timeout 5 "$program" >"$work/out" 2>&1
grep -q "missing or cannot be read" "$work/out" || fail "no message without a template: $(cat "$work/out")"
[[ ! -e $data/dvd_collection.mdb ]] || fail "a catalogue was made without a template"

[[ $failures -eq 0 ]] && echo "PASS: $deb" || exit 1
