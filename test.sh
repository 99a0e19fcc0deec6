#!/usr/bin/env bash
# Installs what is missing, builds with tests, checks formatting and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")"
scripts/ensure-packages.sh packaging

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTESSEL_BUILD_TESTS=ON >/dev/null
cmake --build build -j"$(nproc)"

echo "Checking formatting against .clang-format"
sources=()
for folder in src encoder tests bench fuzz; do
    [ -d "$folder" ] && while IFS= read -r file; do sources+=("$file"); done \
        < <(find "$folder" \( -name '*.cpp' -o -name '*.h' \) | sort)
done
clang-format --dry-run --Werror "${sources[@]}"

export QT_QPA_PLATFORM=offscreen
XDG_RUNTIME_DIR="$(mktemp -d)"
chmod 700 "$XDG_RUNTIME_DIR"
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
ctest --test-dir build --output-on-failure -j"$(nproc)"

# Outside ctest: it reconfigures and builds the release tree that ctest runs from.
echo "Building the Debian package and using it from a scratch root"
tests/package/test-package.sh

echo "Fuzzing the readers of files and encoder output (the kept inputs and a fixed seed)"
fuzz/run.sh --gate

echo "Benchmark smoke run (tiny inputs: checks only that every figure comes out)"
bench/run.sh --smoke
