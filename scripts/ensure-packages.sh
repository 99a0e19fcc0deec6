#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing. With "packaging" it adds
# what builds and checks the Debian package.
set -euo pipefail
packages=(
    build-essential cmake ccache clang-format git
    qt6-base-dev qt6-multimedia-dev qt6-svg-dev libgl-dev
    ffmpeg libavformat-dev libavcodec-dev libavutil-dev pkg-config gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad gstreamer1.0-libav
    xvfb xauth xdotool imagemagick e2fsprogs procps fonts-liberation
    clang-14 libclang-rt-14-dev
    libgoogle-perftools-dev gstreamer1.0-tools strace
)
[ "${1:-}" != packaging ] || packages+=(dpkg-dev lintian desktop-file-utils appstream man-db)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
