#!/usr/bin/env bash
# Installs what is missing, builds a release and starts the program from its program folder.
# Without an argument it opens a generated 30-second sample video. Without a display it runs the window
# under Xvfb, saves a screenshot of it with the video loaded, prints the screenshot's path and closes it.
set -euo pipefail
# The video is named relative to where the command was given.
argument="${1:-}"
[ -z "$argument" ] || argument="$(realpath -m -- "$argument")"
cd "$(dirname "$0")"
scripts/ensure-packages.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target program

video="${argument:-$(scripts/sample-video.sh)}"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec build/bin/tessel "$video"
fi

shot="$PWD/build/screenshot.png"
scripts/screenshot.sh "$shot" "$video"
echo "No display: the window ran under Xvfb. Screenshot: $shot"
