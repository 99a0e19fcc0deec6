#!/usr/bin/env bash
# fuzz/run.sh [SECONDS]   random fuzzing of each target for SECONDS (default 60)
# fuzz/run.sh --gate      the check that ./test.sh runs: the same every time
#
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer in
# build-fuzz/.
# - The gate replays every input kept in fuzz/seeds/<target>/, then fuzzes each target for a fixed number
#   of runs from a fixed seed, starting from those inputs alone; the same tree always runs the same inputs.
# - Random fuzzing starts from the seeds and the corpus it grew before (build-fuzz/corpus/), with a seed of
#   its own each time. Every input that crashes, hangs or breaks a target's checks is kept in
#   build-fuzz/crashes/ and copied into fuzz/seeds/<target>/, where the gate replays it from then on:
#   commit it with the mend.
# Either way the script fails when a target fails.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"

gate=false
seconds=60
case "${1:-}" in
--gate) gate=true ;;
"") ;;
*[!0-9]* | 0)
    echo "usage: fuzz/run.sh [SECONDS] | --gate" >&2
    exit 2
    ;;
*) seconds="$1" ;;
esac
# Runs of each target in the gate, from this seed: the targets that write and read files take far longer
# a run, so that each target takes some seconds on an idle machine.
gate_seed=1
gate_runs() {
    case "$1" in
    inifile | loadprofile) echo 4000 ;;
    *) echo 200000 ;;
    esac
}

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
common=(-timeout=10 -rss_limit_mb=2048 -max_len=8192 -print_final_stats=1)
failed=()
for target in inifile timetext progresschunk commalist wholenumber loadprofile sessionprotocol; do
    fuzzer="$build/fuzz/fuzz_$target"
    seeds="fuzz/seeds/$target"
    mkdir -p "$seeds"
    log="$build/$target.log"
    artifacts="$build/crashes/$target-"
    if $gate; then
        runs="$(gate_runs "$target")"
        echo "Fuzzing $target: the $(find "$seeds" -type f | wc -l) kept inputs, then $runs runs from seed $gate_seed"
        # A fresh corpus each time, so that the runs grow from the kept inputs alone.
        corpus="$TMPDIR/corpus-$target"
        mkdir -p "$corpus"
        kept=()
        while IFS= read -r -d '' file; do kept+=("$file"); done < <(find "$seeds" -type f -print0 | sort -z)
        : >"$log"
        # Each kept input runs whole, as it is, also one longer than the runs' inputs may grow.
        if { [ ${#kept[@]} -gt 0 ] &&
            ! "$fuzzer" "${common[@]}" -artifact_prefix="$artifacts" "${kept[@]}" >>"$log" 2>&1; } ||
            ! "$fuzzer" "${common[@]}" -artifact_prefix="$artifacts" -seed="$gate_seed" -runs="$runs" \
                "$corpus" "$seeds" >>"$log" 2>&1; then
            failed+=("$target")
            tail -n 40 "$log"
        fi
        continue
    fi
    corpus="$build/corpus/$target"
    mkdir -p "$corpus"
    echo "Fuzzing $target for ${seconds}s"
    if ! "$fuzzer" "${common[@]}" -artifact_prefix="$artifacts" -max_total_time="$seconds" "$corpus" "$seeds" \
        >"$log" 2>&1; then
        failed+=("$target")
        tail -n 40 "$log"
    else
        grep -E "^stat::number_of_executed_units|^#[0-9]+.*DONE" "$log" | tail -n 1 || true
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    if ! $gate; then
        for found in "$build"/crashes/*; do
            [ -f "$found" ] || continue
            name="$(basename "$found")"
            cp "$found" "fuzz/seeds/${name%%-*}/${name#*-}"
            echo "Kept as a seed: fuzz/seeds/${name%%-*}/${name#*-}"
        done
    fi
    echo "Fuzzing found faults in: ${failed[*]} (inputs in $build/crashes/)"
    exit 1
fi
if $gate; then
    echo "Fuzzing found nothing (the kept inputs, and a fixed number of runs from seed $gate_seed)"
else
    echo "Fuzzing found nothing ($seconds s per target)"
fi
