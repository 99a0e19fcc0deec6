#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a scratch root and uses it there as an installed program:
# tessel-split from the package's PATH with a scratch HOME, the per-user folder, a profile edited by the
# user kept across a reinstall, and the validators of the desktop entry, the AppStream entry and the
# package. Needs scripts/ensure-packages.sh packaging.
set -euo pipefail
cd "$(dirname "$0")/../.."

deb="$(./package.sh | tail -n 1)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
root="$scratch/root"
program_dir="$root/usr/lib/tessel-video-splitter"
# The AppStream component id, which names the menu entry, the icon and the AppStream file alike.
app_id=io.github.tessel.VideoSplitter
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

dpkg-deb -x "$deb" "$root"
export HOME="$scratch/home"
mkdir -p "$HOME"
unset XDG_DATA_HOME TESSEL_FFMPEG TESSEL_FFPROBE
export PATH="$root/usr/bin:$PATH"
user_dir="$HOME/.local/share/tessel-video-splitter"
[ "$(command -v tessel-split)" = "$root/usr/bin/tessel-split" ] || fail "tessel-split is not the package's"

tessel-split --help | grep -q '^Usage: tessel-split SOURCE' || fail "tessel-split --help"

program_before="$(cd "$program_dir" && find . -printf '%p %s %T@\n' | sort)"
source="$scratch/talk.mp4"
ffmpeg -hide_banner -loglevel error -f lavfi -i "testsrc2=size=320x240:rate=25:duration=6" \
    -f lavfi -i "sine=frequency=440:duration=6" -c:v libx264 -pix_fmt yuv420p -c:a aac -shortest "$source"
mkdir "$scratch/clips"
tessel-split "$source" --start 0:0:1 --end 0:0:5 --sections 2 --output "$scratch/clips" --quiet ||
    fail "the 2-section split exited with $?"
for i in 1 2; do
    clip="$scratch/clips/talk_Clip$i.mp4"
    if [ ! -f "$clip" ]; then
        fail "clip $i was not written"
        continue
    fi
    errors="$(ffmpeg -hide_banner -v error -i "$clip" -f null - 2>&1)"
    [ -z "$errors" ] || fail "clip $i decodes with errors: $errors"
    frames="$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames \
        -of csv=p=0 "$clip")"
    [ "$frames" = 50 ] || fail "clip $i has $frames video frames, not 50"
    audio="$(ffprobe -v error -select_streams a:0 -show_entries stream=duration -of csv=p=0 "$clip")"
    awk -v d="$audio" 'BEGIN { exit !(d > 1.9 && d < 2.1) }' || fail "clip $i has $audio s of audio, not 2"
done

[ "$(find "$user_dir/Profiles" -name '*.apf' | wc -l)" = \
    "$(find "$program_dir/Profiles" -name '*.apf' | wc -l)" ] || fail "the user's profiles were not laid down"
[ -f "$user_dir/Preferences.ini" ] || fail "the user's preferences were not laid down"
[ "$program_before" = "$(cd "$program_dir" && find . -printf '%p %s %T@\n' | sort)" ] ||
    fail "the installed program folder was written to"

# The user switches the MP4 profile to H.265 and removes another; a reinstall keeps the one and the next
# start lays the other down again.
mp4="$user_dir/Profiles/MP4 (H.264 + AAC).apf"
sed -i '/^\[Video Codec\]/,/^\[/ s/^Index=0/Index=1/' "$mp4"
edited="$(md5sum <"$mp4")"
rm "$user_dir/Profiles/WebM (VP9 + Opus).apf"
dpkg-deb -x "$deb" "$root"
command="$(tessel-split "$source" --start 0:0:1 --end 0:0:2 --profile "MP4 (H.264 + AAC)" \
    --output "$scratch/clips" --dry-run)"
[ "$(md5sum <"$mp4")" = "$edited" ] || fail "the user's edited profile changed"
grep -q -- '-c:v libx265' <<<"$command" || fail "the edited profile was not the one used: $command"
[ -f "$user_dir/Profiles/WebM (VP9 + Opus).apf" ] || fail "a removed shipped profile was not laid down"

XDG_DATA_HOME="$scratch/data" tessel-split "$source" --start 0:0:1 --end 0:0:2 --dry-run >/dev/null
[ -f "$scratch/data/tessel-video-splitter/Preferences.ini" ] || fail "XDG_DATA_HOME was not followed"

desktop-file-validate "$root/usr/share/applications/$app_id.desktop" ||
    fail "desktop-file-validate"
# Software centres skip or mangle entries that draw warnings, so a warning fails as an error does.
appstream="$(appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" 2>&1)" ||
    fail "appstreamcli validate: $appstream"
! grep -qE '^(E|W):' <<<"$appstream" || fail "appstreamcli validate: $appstream"
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$app_id.svg" ] || fail "no icon named $app_id"
grep -qx "Icon=$app_id" "$root/usr/share/applications/$app_id.desktop" || fail "the menu entry's icon is not $app_id"
# Help, links and the output folder open through xdg-open; the videos folder is asked of xdg-user-dir.
for tool in xdg-utils xdg-user-dirs; do
    dpkg-deb -f "$deb" Recommends | grep -qw "$tool" || fail "the package does not recommend $tool"
done
lintian_output="$(lintian "$deb" 2>&1 || true)"
! grep -q '^E:' <<<"$lintian_output" || fail "lintian: $lintian_output"

if [ "$failures" -gt 0 ]; then
    echo "Package test: $failures failed" >&2
    exit 1
fi
echo "Package test passed: $deb"
