#!/usr/bin/env bash
# Installs what building and testing Orvalen needs on Debian or Ubuntu (apt-get), once.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev libgl-dev
    fonts-noto-cjk locales
    xvfb xauth
    clang libclang-rt-14-dev
    libuchardet-dev
    g++-mingw-w64-x86-64-posix wine64 wine openbox xdotool xclip
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

# The players expect GBK names; the tests and "LC_ALL=zh_CN.GBK Orvalen" need that locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.gbk$'; then
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo_cmd=(sudo)
    fi
    "${sudo_cmd[@]}" localedef -i zh_CN -f GBK zh_CN.GBK || echo "warning: could not make the zh_CN.GBK locale" >&2
fi
# Wine takes its Chinese ANSI code page (936) from zh_CN.UTF-8.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo_cmd=(sudo)
    fi
    "${sudo_cmd[@]}" localedef -i zh_CN -f UTF-8 zh_CN.UTF-8 || echo "warning: could not make the zh_CN.UTF-8 locale" >&2
fi
