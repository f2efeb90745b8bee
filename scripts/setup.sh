#!/usr/bin/env bash
# Installs what building and testing Treskel needs on Debian: only the packages that are missing,
# and the German locale that gives Wine the code pages of a German Windows (ANSI 1252, OEM 850).
set -euo pipefail

packages=(
    cmake make
    g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
    googletest
    wine wine64 fonts-wine
    xvfb xauth x11-utils x11-apps imagemagick
    locales
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "== Installing: ${missing[*]}"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    echo "== Generating the locale de_DE.UTF-8"
    as_root sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^de_DE\.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen
fi
