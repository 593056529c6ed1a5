#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, only when a tool is
# missing, so that a second call costs nothing.
set -euo pipefail

missing=()
need_command() { command -v "$1" >/dev/null 2>&1 || missing+=("$2"); }
need_file() { [ -e "$1" ] || missing+=("$2"); }
need_package() { dpkg -s "$1" >/dev/null 2>&1 || missing+=("$1"); }

need_command cmake cmake
need_command ninja ninja-build
need_command g++ g++
need_command clang-format clang-format
need_file /usr/src/googletest/CMakeLists.txt googletest
need_file /usr/include/rapidjson/document.h rapidjson-dev
need_command i686-w64-mingw32-g++-posix g++-mingw-w64-i686
need_command i686-w64-mingw32-g++-win32 g++-mingw-w64-i686-win32
need_command i686-w64-mingw32-windres binutils-mingw-w64-i686
need_command wine wine
need_package wine32:i386
need_package wine64
need_package fonts-wine
need_package fonts-liberation
need_command Xvfb xvfb
need_command xauth xauth
need_command compare imagemagick
need_command xwininfo x11-utils
need_command osslsigncode osslsigncode
need_command openssl openssl
need_command zip zip
/usr/bin/python3 -c 'import PIL' 2>/dev/null || missing+=(python3-pil)
/usr/bin/python3 -c 'import pefile' 2>/dev/null || missing+=(python3-pefile)

install_missing() {
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
    missing=()
}
install_missing

# Where Wine cannot run 32-bit programs, the Windows tests use a 64-bit build.
if [ "$("$(dirname "$0")/wine-tests-preset.sh")" = windows64 ]; then
    need_command x86_64-w64-mingw32-g++-posix g++-mingw-w64-x86-64-posix
    need_command x86_64-w64-mingw32-windres binutils-mingw-w64-x86-64
    install_missing
fi
