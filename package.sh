#!/usr/bin/env bash
# Builds build/package/tessel-video-splitter_VERSION_ARCH.deb from a release build and prints its path.
set -euo pipefail
cd "$(dirname "$0")"
scripts/ensure-packages.sh packaging

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target program

name=tessel-video-splitter
version="$(sed -n 's/^project(TesselVideoSplitter VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
arch="$(dpkg --print-architecture)"
out="$PWD/build/package"
root="$out/root"
rm -rf "$root"
mkdir -p "$root/DEBIAN"
umask 022
DESTDIR="$root" cmake --install build --prefix /usr >/dev/null

program_dir="$root/usr/lib/$name"
elves=("$program_dir/tessel" "$program_dir/tessel-split" "$program_dir/wmaspi.dll")
strip --strip-unneeded --remove-section=.comment --remove-section=.note "${elves[@]}"
gzip -9n "$root"/usr/share/man/man1/*.1
doc="$root/usr/share/doc/$name"
mkdir -p "$doc"
cp packaging/debian/copyright "$doc/"
gzip -9n -c packaging/debian/changelog >"$doc/changelog.gz"
find "$root" -type d -exec chmod 755 {} +
find "$root" -type f -exec chmod 644 {} +
chmod 755 "${elves[@]}"

# The libraries come from the installed programs themselves, so a new one (FFmpeg's, say) is picked up;
# ffmpeg writes the clips and GStreamer's plug-ins play the preview.
shlibs="$(mkdir -p "$out/shlibdeps/debian" && touch "$out/shlibdeps/debian/control" &&
    cd "$out/shlibdeps" && dpkg-shlibdeps -O "${elves[@]}")"
depends="${shlibs#shlibs:Depends=}, ffmpeg, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good"
depends+=", gstreamer1.0-plugins-bad, gstreamer1.0-libav"

size="$(du -sk --exclude=DEBIAN "$root" | cut -f1)"
sed -e "s/@VERSION@/$version/" -e "s/@ARCH@/$arch/" -e "s/@SIZE@/$size/" -e "s/@DEPENDS@/$depends/" \
    packaging/debian/control >"$root/DEBIAN/control"
(cd "$root" && find usr -type f | sort | xargs -d '\n' md5sum >DEBIAN/md5sums)
chmod 644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"

deb="$out/${name}_${version}_${arch}.deb"
dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
echo "$deb"
