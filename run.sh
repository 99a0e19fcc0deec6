#!/usr/bin/env bash
# Installs what is missing, builds a release and starts the program from its program folder.
# Without an argument it opens a generated 30-second sample video. Without a display it runs the window
# under Xvfb, saves a screenshot of it with the video loaded, prints the screenshot's path and closes it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/ensure-packages.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target program

video="${1:-}"
if [ -z "$video" ]; then
    video="$PWD/build/sample.mp4"
    if [ ! -f "$video" ]; then
        echo "Making the sample video $video"
        ffmpeg -hide_banner -loglevel error -y -f lavfi -i "testsrc2=size=640x360:rate=25:duration=30" \
            -f lavfi -i "sine=frequency=440:duration=30" -c:v libx264 -pix_fmt yuv420p -c:a aac -shortest "$video"
    fi
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec build/bin/tessel "$video"
fi

shot="$PWD/build/screenshot.png"
scripts/screenshot.sh "$shot" "$video"
echo "No display: the window ran under Xvfb. Screenshot: $shot"
