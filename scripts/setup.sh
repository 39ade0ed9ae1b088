#!/usr/bin/env bash
# Installs what building and testing Orvalen needs on Debian or Ubuntu (apt-get), once.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev libgl-dev
    qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
    python3 python3-pyatspi at-spi2-core
    fonts-noto-cjk locales
    xvfb xauth
    clang libclang-rt-14-dev
    libuchardet-dev
    dpkg-dev file lintian desktop-file-utils appstream
    xdg-utils libfile-mimeinfo-perl shared-mime-info
    g++-mingw-w64-x86-64-posix googletest wine64 wine nsis
    openbox xdotool xclip
    # FUSE 2 only: fuse3 would remove fusefat.
    fusefat exfat-fuse exfatprogs dosfstools
)
packages+=("$@")

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo_cmd=(sudo)
    fi
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The Windows tests run Wine as a Chinese user does, under zh_CN.UTF-8: Wine takes its ANSI code
# page (936) from the locale's name, but turns file names into Unix ones through the locale's
# character set, which is ASCII unless the locale is installed. The translation tests also run
# under zh_TW.UTF-8, Traditional Chinese.
for locale_name in zh_CN zh_TW; do
    if ! locale -a 2>/dev/null | grep -qi "^${locale_name}\.utf8$"; then
        sudo_cmd=()
        if [ "$(id -u)" -ne 0 ]; then
            sudo_cmd=(sudo)
        fi
        "${sudo_cmd[@]}" localedef -i "$locale_name" -f UTF-8 "$locale_name.UTF-8" ||
            echo "warning: could not make the $locale_name.UTF-8 locale" >&2
    fi
done
