#!/usr/bin/env bash
# Renews docs/screenshot.png: builds the program, opens the sample video in it under Xvfb and saves the
# main window. Usage: scripts/make-docs-screenshot.sh [VIDEO]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target program
video="${1:-$(scripts/sample-video.sh)}"
mkdir -p docs
scripts/screenshot.sh docs/screenshot.png "$video"
# Smaller and free of the capture's time stamps, so an unchanged window gives an unchanged file.
convert docs/screenshot.png -strip docs/screenshot.png
echo "Screenshot: $PWD/docs/screenshot.png"
