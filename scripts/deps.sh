#!/usr/bin/env bash
# Installs the Debian 12 packages Reelvane needs, only those that are missing.
# `deps.sh package` adds what building and checking the Debian package needs.
set -euo pipefail

packages=(
    g++ cmake make
    qt6-base-dev libqt6sql6-sqlite   # Widgets, SQL, Test; the SQLite driver is separate
    libsqlite3-dev                   # the engine itself: progress of one long statement
    qt6-charts-dev libqt6opengl6-dev # the statistics window's charts (their CMake files need OpenGL's)
    poppler-utils                    # pdftotext: the tests read the printed list back
    libarchive-dev pkg-config        # zip archives of collections from another catalogue
    xvfb xauth imagemagick           # a display for machines without one; screenshots
    fonts-dejavu-core
    clang-format                     # the style check (scripts/format-check.sh)
)
if [[ ${1:-} == package ]]; then
    packages+=(
        dpkg-dev file                # dpkg-shlibdeps and dpkg-buildflags; CPack runs file
        desktop-file-utils appstream # desktop-file-validate, appstreamcli
        lintian
    )
fi

missing=()
for package in "${packages[@]}"; do
    [[ $package == \#* ]] && continue
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ $status == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
    command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
    sudo_cmd=(sudo)
fi
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
