#!/usr/bin/env bash
# Installs the Debian 12 packages Reelvane needs, only those that are missing.
set -euo pipefail

packages=(
    g++ cmake make
    qt6-base-dev libqt6sql6-sqlite   # Widgets, SQL, Test; the SQLite driver is separate
    libarchive-dev pkg-config        # zip archives of collections from another catalogue
    xvfb xauth imagemagick           # a display for machines without one; screenshots
    fonts-dejavu-core
)

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
