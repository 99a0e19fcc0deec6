#!/usr/bin/env bash
# Starts the program under Xvfb with a video, waits until its main window shows the video, saves a
# screenshot of that window and closes the program. Usage: scripts/screenshot.sh OUTPUT.png VIDEO
set -euo pipefail
out="$(realpath -m -- "$1")"
video="$(realpath -m -- "$2")"
cd "$(dirname "$0")/.."
export QT_XCB_GL_INTEGRATION=none
XDG_RUNTIME_DIR="$(mktemp -d)"
chmod 700 "$XDG_RUNTIME_DIR"
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    build/bin/tessel "$1" &
    pid=$!
    window=""
    for _ in $(seq 1 100); do
        window=$(xdotool search --name "^Tessel Video Splitter V" 2>/dev/null | head -n 1 || true)
        [ -n "$window" ] && break
        sleep 0.1
    done
    sleep 4
    if [ -n "$window" ]; then import -window "$window" "$2"; else import -window root "$2"; fi
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
' _ "$video" "$out"
