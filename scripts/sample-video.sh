#!/usr/bin/env bash
# Makes the 30-second 640x360 H.264/AAC sample video once and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
video="$PWD/build/sample.mp4"
if [ ! -f "$video" ]; then
    mkdir -p build
    echo "Making the sample video $video" >&2
    ffmpeg -hide_banner -loglevel error -y -f lavfi -i "testsrc2=size=640x360:rate=25:duration=30" \
        -f lavfi -i "sine=frequency=440:duration=30" -c:v libx264 -pix_fmt yuv420p -c:a aac -shortest "$video"
fi
echo "$video"
