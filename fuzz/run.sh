#!/usr/bin/env bash
# fuzz/run.sh [SECONDS]
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer in
# build-fuzz/, then runs each target for SECONDS (default 60). Inputs that crash, hang or break a target's
# checks are kept in build-fuzz/crashes/ and make the script fail.
set -euo pipefail
seconds="${1:-60}"
cd "$(dirname "$0")/.."
root="$PWD"

packages=(clang-14 libclang-rt-14-dev)
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

build="$root/build-fuzz"
sanitizers="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang-14 \
    -DCMAKE_CXX_COMPILER=clang++-14 -DTESSEL_BUILD_TESTS=OFF -DTESSEL_FUZZ=ON \
    "-DCMAKE_CXX_FLAGS=$sanitizers" "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined" >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzz_all

export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:symbolize=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Qt may be asked for a display by nothing here, but keep it headless all the same.
export QT_QPA_PLATFORM=offscreen
# The file targets write every input to a file, and saving syncs it: a memory-backed folder keeps that fast.
scratch_parent=/tmp
[ -d /dev/shm ] && [ -w /dev/shm ] && scratch_parent=/dev/shm
TMPDIR="$(mktemp -d "$scratch_parent/tessel-fuzz.XXXXXX")"
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT

rm -rf "$build/crashes"
mkdir -p "$build/crashes"
failed=()
for target in inifile timetext progresschunk commalist wholenumber loadprofile; do
    corpus="$build/corpus/$target"
    mkdir -p "$corpus"
    seeds=()
    [ -d "fuzz/seeds/$target" ] && seeds=("fuzz/seeds/$target")
    echo "Fuzzing $target for ${seconds}s"
    log="$build/$target.log"
    if ! "$build/fuzz/fuzz_$target" "$corpus" "${seeds[@]}" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -max_len=8192 -print_final_stats=1 \
        -artifact_prefix="$build/crashes/$target-" >"$log" 2>&1; then
        failed+=("$target")
        tail -n 40 "$log"
    else
        grep -E "^stat::number_of_executed_units|^#[0-9]+.*DONE" "$log" | tail -n 1 || true
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "Fuzzing found faults in: ${failed[*]} (inputs in $build/crashes/)"
    exit 1
fi
echo "Fuzzing found nothing ($seconds s per target)"
