#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing FendralWin need. Safe to run
# again: it installs only what is missing.
# With --windows it installs instead what the Windows cross-build and its tests under Wine need.
set -euo pipefail

linux_packages=(
    cmake ninja-build g++ clang-format pkg-config
    qt6-base-dev libgl-dev libtiff-dev libicu-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth xterm xdotool imagemagick
    fonts-liberation fonts-dejavu-core
    locales
    librsvg2-bin file dpkg-dev lintian desktop-file-utils appstream
    libglib2.0-bin shared-mime-info    # gio: the package check asks which programs open TIFF files
    libatspi2.0-dev at-spi2-core dbus-daemon    # a screen reader's view of the window, read in a test
    libtiff-tools time strace    # strace: a signal injected into Fendral at the instant it names its output
    clang libclang-rt-14-dev    # the fuzz preset: clang and its libFuzzer runtime
)

# GoogleTest comes as sources (/usr/src/googletest) and is cross-compiled with the tests.
windows_packages=(
    cmake ninja-build googletest
    g++-mingw-w64-x86-64 wine wine64
    xvfb xauth imagemagick librsvg2-bin unzip
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
    local missing=()
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        as_root apt-get update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            "${missing[@]}" >/dev/null
    fi
}

if [ "${1:-}" = "--windows" ]; then
    install_missing "${windows_packages[@]}"
    exit 0
fi

install_missing "${linux_packages[@]}"

# A locale that writes numbers with a decimal comma, to test that the window never does.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    as_root localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
