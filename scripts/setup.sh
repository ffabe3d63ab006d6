#!/usr/bin/env bash
# Installs every Debian package the project needs to build, run and test; silent when all are there.
# Usage: scripts/setup.sh [EXTRA_PACKAGE...]   (packages that one script alone needs, such as a benchmark's
# peer)
set -euo pipefail

packages=(
    g++ make cmake ninja-build pkg-config
    libogre-1.12-dev ogre-1.12-tools libois-dev liblua5.1-0-dev libtinyxml-dev
    libboost-filesystem-dev libboost-system-dev libboost-thread-dev libboost-date-time-dev
    libopenal-dev libalut-dev libvorbis-dev libogg-dev libtheora-dev
    libgtest-dev libgmock-dev libbenchmark-dev librecast-dev
    clang libclang-rt-14-dev llvm-14 lld clang-format ccache git
    libx11-dev libxcursor-dev libxfixes-dev libpng-dev fonts-dejavu-core
    xvfb xauth libgl1-mesa-dri xdotool imagemagick sox vorbis-tools gdb
    "$@"
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
