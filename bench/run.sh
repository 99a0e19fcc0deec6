#!/usr/bin/env bash
# BENCH_ROUNDS=N bench/run.sh [--smoke | --lossless | --encoded]
# Measures the splitter against what it is built on, each figure as a ratio of two things timed side by
# side in this same run, prints the table and writes it with the machine's details to bench/results.md
# (and into the README). --smoke runs every figure on tiny inputs, only to check that all of them come
# out; it writes its table under build/ and leaves bench/results.md and the README alone.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"

smoke=0 lossless_only=0 encoded_only=0
[ "${1:-}" = "--smoke" ] && smoke=1
# --lossless measures figures 3a to 3b' alone and puts them into the table of bench/results.md in place;
# --encoded does the same for figures 1, 1b and 2.
[ "${1:-}" = "--lossless" ] && lossless_only=1
[ "${1:-}" = "--encoded" ] && encoded_only=1

if [ $smoke -eq 1 ]; then
    work="$root/build/bench-smoke"
    results="$work/results.md"
    reps=1 together_rounds=1
    source_seconds=6 source_size=320x240 sections=3
    small_seconds=6 small_size=160x120 small_sections=2
    big_segment_seconds=5 big_repeats=4
    freeze_sections=3 freeze_end=00:00:03
else
    work="$root/bench/work"
    results="$root/bench/results.md"
    # This machine's speed wanders by a tenth from one minute to the next: more rounds steady a median.
    reps=${BENCH_ROUNDS:-5}
    [[ "$reps" =~ ^[1-9][0-9]?$ ]] || { echo "BENCH_ROUNDS is a number of rounds, 1 to 99"; exit 1; }
    together_rounds=3
    source_seconds=120 source_size=1280x720 sections=10
    # Six sections of a minute at a small size, where what each section costs on its own shows most.
    small_seconds=360 small_size=640x360 small_sections=6
    # One hour of 720p at 2 Mbit/s, about 950 MB, made by repeating a one-minute piece without re-encoding.
    big_segment_seconds=60 big_repeats=60
    freeze_sections=3 freeze_end=00:00:30
fi

scripts/ensure-packages.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target program tessel-split windowbench >/dev/null
bin="$root/build/bin"
split_program="$bin/tessel-split"
windowbench="$root/build/bench/windowbench"
ffmpeg_program="$(command -v ffmpeg)"

export QT_QPA_PLATFORM=offscreen QT_XCB_GL_INTEGRATION=none
if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -d "$XDG_RUNTIME_DIR" ]; then
    XDG_RUNTIME_DIR="$(mktemp -d)"
    chmod 700 "$XDG_RUNTIME_DIR"
    export XDG_RUNTIME_DIR
fi
load_before="$(cut -d' ' -f1-3 /proc/loadavg)"

mkdir -p "$work"
log="$work/bench.log"
: >"$log"

# Seconds that a command takes, to the microsecond; its output goes to the log.
timed() {
    local begin end
    begin=$EPOCHREALTIME
    "$@" >>"$log" 2>&1 || { echo "failed: $* (see $log)" >&2; return 1; }
    end=$EPOCHREALTIME
    awk -v b="$begin" -v e="$end" 'BEGIN { printf "%.3f", e - b }'
}
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.3f", a / b; else print "n/a" }'; }
# The median of the rounds' own ratios: the two sides of a round ran next to each other, so a change in
# the machine's other work between rounds mostly cancels out. Arguments: "a1 a2 ..." "b1 b2 ...".
paired_ratio() {
    local a=($1) b=($2) ratios=() i
    for i in "${!a[@]}"; do ratios+=("$(ratio "${a[i]}" "${b[i]}")"); done
    median "${ratios[@]}"
}
verdict() {
    # Tiny inputs say nothing about the targets.
    if [ $smoke -eq 1 ]; then
        echo "smoke"
        return
    fi
    awk -v v="$1" -v op="$2" -v t="$3" 'BEGIN { ok = (op == "<=") ? v <= t : (op == "<") ? v < t : v >= t; print ok ? "yes" : "**no**" }'
}
fresh() { rm -rf "$1" && mkdir -p "$1"; }
time_text() { awk -v s="$1" 'BEGIN { printf "%d:%02d:%02d", s / 3600, (s % 3600) / 60, s % 60 }'; }

# The README shows the latest table between its two markers (bench/results.md also lists the rounds).
update_readme() {
    awk -v file="$results" '
        /<!-- bench:begin -->/ {
            print
            while ((getline line < file) > 0 && line != "Rounds:") if (line !~ /^# /) print line
            skip = 1
            next
        }
        /<!-- bench:end -->/ { skip = 0 }
        !skip { print }' README.md >README.md.new
    mv README.md.new README.md
}

echo "Making the test media in $work"
# An H.264 + AAC source of the given seconds and size, made once.
encoded_source() {
    local path="$work/source-${1}s-${2}.mp4"
    if [ ! -s "$path" ]; then
        "$ffmpeg_program" -hide_banner -loglevel error -y -f lavfi -i "testsrc2=size=$2:rate=25" \
            -f lavfi -i "sine=frequency=440:sample_rate=48000" -t "$1" \
            -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac "$path.part.mp4"
        mv "$path.part.mp4" "$path"
    fi
    echo "$path"
}
source="$work/source-${source_seconds}s-${source_size}.mp4"
[ $lossless_only -eq 1 ] || source="$(encoded_source "$source_seconds" "$source_size")"
big_seconds=$((big_segment_seconds * big_repeats))
big="$work/long-${big_seconds}s.mp4"
if [ ! -s "$big" ] && [ $encoded_only -eq 0 ]; then
    segment="$work/segment.mp4"
    "$ffmpeg_program" -hide_banner -loglevel error -y -f lavfi -i "testsrc2=size=$source_size:rate=25" \
        -f lavfi -i "sine=frequency=440:sample_rate=48000" -t "$big_segment_seconds" \
        -c:v libx264 -preset ultrafast -b:v 2M -g 50 -pix_fmt yuv420p -c:a aac "$segment"
    for _ in $(seq "$big_repeats"); do echo "file '$segment'"; done >"$work/segments.txt"
    "$ffmpeg_program" -hide_banner -loglevel error -y -f concat -safe 0 -i "$work/segments.txt" -c copy \
        "$big.part.mp4"
    mv "$big.part.mp4" "$big"
    rm -f "$segment" "$work/segments.txt"
fi

if [ $lossless_only -eq 0 ]; then
# 1, 1b and 2: the encoded split against one encode of the whole range with the same options. A first run
# records the ffmpeg command that the front-end starts: one for all the sections, writing to a pipe.
recorder="$work/record-ffmpeg"
records="$work/records"
cat >"$recorder" <<EOF
#!/bin/sh
n=\$(ls "$records" | wc -l)
printf '%s\0' "\$@" >"$records/\$(printf %03d "\$n")"
exec "$ffmpeg_program" "\$@"
EOF
chmod +x "$recorder"
split_out="$work/split"
whole_out="$work/whole"
# The timed splits run ffmpeg through a stopwatch, so that what tessel-split adds around its one encode is
# timed within the same run, apart from how long the encode itself takes.
stopwatch="$work/stopwatch-ffmpeg"
encode_times="$work/encode-times"
cat >"$stopwatch" <<EOF
#!/usr/bin/env bash
begin=\$EPOCHREALTIME
"$ffmpeg_program" "\$@"
code=\$?
echo "\$begin \$EPOCHREALTIME" >>"$encode_times"
exit \$code
EOF
chmod +x "$stopwatch"

# Measures one source; leaves the rounds in t_split, t_whole, t_bare and t_idle.
measure_sections() {
    local source=$1 seconds=$2 sections=$3
    echo "Sections: $sections sections of ${seconds} s of $source"
    fresh "$records"
    fresh "$split_out"
    split_arguments=("$source" --start 0:00:00 --end "$(time_text "$seconds")" --sections "$sections"
        --profile "MP4 (H.264 + AAC)" --output "$split_out" --overwrite --quiet)
    TESSEL_FFMPEG="$recorder" "$split_program" "${split_arguments[@]}" >>"$log" 2>&1
    mapfile -t commands < <(find "$records" -type f | sort)
    mapfile -d '' -t piped <"${commands[0]}"
    [ ${#commands[@]} -eq 1 ] && [ "${piped[-1]}" = "pipe:1" ] ||
        { echo "expected one encode for the $sections sections, saw ${#commands[@]} encoder calls"; exit 1; }
    # The same encode as a person would run it: into one MP4, without the keyframes forced at the cuts.
    whole_arguments=()
    local i
    for ((i = 0; i < ${#piped[@]} - 3; i++)); do
        case "${piped[i]}" in
        -force_key_frames | -forced-idr | -flush_packets) i=$((i + 1)) ;;
        *) whole_arguments+=("${piped[i]}") ;;
        esac
    done
    whole_arguments+=(-f mp4 "$whole_out/whole.mp4")
    t_split=() t_whole=() t_bare=() t_idle=() t_outside=()
    local rep job made order
    for rep in $(seq "$reps"); do
        echo "  round $rep of $reps"
        # The split runs between the two commands it is compared with, so that each ratio's sides run
        # right next to each other; every other round turns the order round, so that neither side of a
        # ratio always runs first. (The machine's speed drifts from one minute to the next.)
        order=(whole split bare)
        ((rep % 2 == 0)) && order=(bare split whole)
        for job in "${order[@]}"; do
            case "$job" in
            split)
                fresh "$split_out" && : >"$encode_times" && sync
                t_split+=("$(timed env TESSEL_FFMPEG="$stopwatch" "$split_program" "${split_arguments[@]}")")
                made=$(find "$split_out" -name '*_Clip*.mp4' | wc -l)
                [ "$made" -eq "$sections" ] || { echo "tessel-split made $made clips, not $sections"; exit 1; }
                [ "$(wc -l <"$encode_times")" -eq 1 ] || { echo "tessel-split ran more than one encode"; exit 1; }
                t_outside+=("$(awk -v s="${t_split[-1]}" '{ printf "%.3f", s - ($2 - $1) }' "$encode_times")")
                ;;
            whole) fresh "$whole_out" && sync && t_whole+=("$(timed "$ffmpeg_program" "${whole_arguments[@]}")") ;;
            # The front-end's own encode, its output thrown away: what the splitting around it costs.
            bare) sync && t_bare+=("$(timed sh -c '"$0" "$@" </dev/null >/dev/null' "$ffmpeg_program" "${piped[@]}")") ;;
            esac
        done
        t_idle+=("$(timed sh -c 'TESSEL_FFMPEG=/bin/true "$0" "$@" >/dev/null 2>&1; exit 0' "$split_program" \
            "${split_arguments[@]}")")
    done
    # A cross-check: the split and the whole encode started at the same moment share the machine's slow and
    # fast minutes alike, so how much later the split ends is what it costs beyond the encode. At 640x360
    # its rounds agree within about 1%; at 1280x720 the two encodes share the two cores unevenly, and its
    # rounds scatter as widely as the ratios'.
    t_later=()
    for rep in $(seq "$together_rounds"); do
        fresh "$split_out" && fresh "$whole_out" && sync
        (timed "$split_program" "${split_arguments[@]}" >/dev/null && echo "$EPOCHREALTIME" >"$work/split-end") &
        (timed "$ffmpeg_program" "${whole_arguments[@]}" >/dev/null && echo "$EPOCHREALTIME" >"$work/whole-end") &
        wait
        [ -s "$work/split-end" ] && [ -s "$work/whole-end" ] ||
            { echo "a split and a whole encode started together: one failed (see $log)"; exit 1; }
        t_later+=("$(awk -v s="$(<"$work/split-end")" -v w="$(<"$work/whole-end")" \
            'BEGIN { printf "%.3f", s - w }')")
        rm -f "$work/split-end" "$work/whole-end"
    done
}
# How long after the whole encode started with it the split ended (before it, when less than nothing), also
# as a share of $1, the whole encode's own time.
later_text() {
    local later
    later=$(median "${t_later[@]}")
    awk -v l="$later" -v w="$1" -v n="$together_rounds" 'BEGIN {
        a = (l < 0) ? -l : l
        printf "%.3f s %s it (the median of %d rounds), %.1f%% of the whole encode alone",
            a, (l < 0) ? "before" : "after", n, 100 * a / w }'
}

measure_sections "$source" "$source_seconds" "$sections"
split_time=$(median "${t_split[@]}")
whole_time=$(median "${t_whole[@]}")
direct_time=$(median "${t_bare[@]}")
idle_time=$(median "${t_idle[@]}")
later_1=$(later_text "$whole_time")
r1=$(paired_ratio "${t_split[*]}" "${t_whole[*]}")
r2=$(paired_ratio "${t_split[*]}" "${t_bare[*]}")
rounds_1="- tessel-split, $sections sections: ${t_split[*]} s; one encode of the whole range: ${t_whole[*]} s;
  the same encode, its output thrown away: ${t_bare[*]} s; with an encoder that does nothing: ${t_idle[*]} s"
# The sections' time beyond the whole range, as the median of the rounds' own differences.
beyond=()
for i in "${!t_split[@]}"; do beyond+=("$(awk -v s="${t_split[i]}" -v w="${t_whole[i]}" 'BEGIN { printf "%.3f", s - w }')"); done
beyond_time=$(median "${beyond[@]}")
outside_time=$(median "${t_outside[@]}")
rounds_1="$rounds_1
  tessel-split outside its one encode: ${t_outside[*]} s; started with the whole encode, its end less the encode's: ${t_later[*]} s"

small_source="$(encoded_source "$small_seconds" "$small_size")"
measure_sections "$small_source" "$small_seconds" "$small_sections"
small_split_time=$(median "${t_split[@]}")
small_whole_time=$(median "${t_whole[@]}")
later_1b=$(later_text "$small_whole_time")
r1b=$(paired_ratio "${t_split[*]}" "${t_whole[*]}")
rounds_1b="- tessel-split, $small_sections sections of $small_size: ${t_split[*]} s; one encode of the whole range: ${t_whole[*]} s
  started with the whole encode, tessel-split's end less the encode's: ${t_later[*]} s"

encoded_rows="$(
    cat <<EOF
| 1 | $sections sections of a ${source_seconds} s $source_size H.264 source (MP4 profile) | tessel-split ${split_time} s | one encode of the whole range ${whole_time} s | ${r1}× | ≤ 1.03× | $(verdict "$r1" "<=" 1.03) |
| 1b | $small_sections sections of a ${small_seconds} s $small_size source (MP4 profile) | tessel-split ${small_split_time} s | one encode of the whole range ${small_whole_time} s | ${r1b}× | ≤ 1.03× | $(verdict "$r1b" "<=" 1.03) |
| 2 | Engine overhead | tessel-split ${split_time} s | the same ffmpeg command, its output thrown away, ${direct_time} s | ${r2}× | ≤ 1.02× | $(verdict "$r2" "<=" 1.02) |
EOF
)"
encoded_note="Figure 1 beyond the whole range: ${beyond_time} s (the median of the rounds' own differences);
tessel-split outside the one encode it runs (its start, the probe, the planning, its end), timed within
the same runs: ${outside_time} s;
tessel-split with an encoder that does nothing (finding each section's first frame): ${idle_time} s.
Started at the same moment as the whole encode, tessel-split ended: figure 1 ${later_1};
figure 1b ${later_1b}."
encoded_rounds="$rounds_1
$rounds_1b"

fi
# The host's processor: a partial run may be measured on another one than the full run.
cpu="$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)"
if [ $encoded_only -eq 1 ]; then
    for figure in "$split_time" "$whole_time" "$direct_time" "$small_split_time" "$small_whole_time"; do
        [[ "$figure" =~ ^[0-9]+(\.[0-9]+)?$ ]] || { echo "A figure is missing (see $log)"; exit 1; }
    done
    [ -s "$results" ] || { echo "$results holds no table to update: run bench/run.sh first"; exit 1; }
    note="- Figures 1, 1b and 2 measured alone (bench/run.sh --encoded, $reps rounds) on $(date -u '+%Y-%m-%d %H:%M UTC') on $cpu;"
    note="$note load average $load_before before, $(cut -d' ' -f1-3 /proc/loadavg) after"
    # The rows, the note under the table and the rounds of these figures are replaced; the rest stays.
    awk -v rows="$encoded_rows" -v rounds="$encoded_rounds" -v note="$note" -v beyond="$encoded_note" '
        /^- Figures 1, 1b and 2/ { next }
        /^- Each figure is the median/ { print note }
        /^\| 1 \|/ { print rows; next }
        /^\| 1b \|/ || /^\| 2 \|/ { next }
        /^Figure 1 beyond the whole range/ { print beyond; print ""; skip = 1; next }
        /^Rounds:/ { skip = 0 }
        /^- tessel-split, / { if (!done) print rounds; done = 1; drop = 1; next }
        drop && (/^  / || /^- the same ffmpeg commands/ || /^- ffmpeg with -ss/ || /^- one encode of the whole/ ||
                 /^- tessel-split with an encoder/) { next }
        skip { next }
        { drop = 0; print }' "$results" >"$results.new"
    mv "$results.new" "$results"
    echo
    echo "$encoded_rows"
    echo
    echo "Written to $results"
    update_readme
    exit 0
fi
# 3: the lossless split against a plain copy of the same file. 3a cuts at keyframes, with a copy of the
# program folder whose stream-copy profile chooses them; 3b makes exact cuts that fall inside GOPs, next to
# keyframe cuts at the same times and to one GOP re-encoded the way the cutter re-encodes a head, and next
# to the same exact cuts with the front-end's check of each join left out (what the check costs).
echo "Lossless: $sections sections of ${big_seconds} s ($(du -h "$big" | cut -f1))"
# Both program folders take the committed profile: the build's own folder keeps a person's edits.
copy_profile="$root/data/Profiles/Settings of the source file..apf"
exact_program="$work/program-exact"
keyframe_program="$work/program-keyframes"
for program in "$exact_program" "$keyframe_program"; do
    rm -rf "$program" && cp -r "$bin" "$program" && cp "$copy_profile" "$program/Profiles/"
done
awk '/^\[/ { section = $0 } section == "[Cut Points]" && /^Index=/ { $0 = "Index=1" } { print }' \
    "$copy_profile" >"$keyframe_program/Profiles/Settings of the source file..apf"
grep -q '^Index=1' "$keyframe_program/Profiles/Settings of the source file..apf" ||
    { echo "The stream-copy profile offers no cut points"; exit 1; }
lossless_out="$work/lossless"
copy_out="$work/copy"
t_lossless=() t_copy=() t_exact=() t_inside=() t_gop=() t_unchecked=()
whole_range=(--start 0:00:00 --end "$(time_text "$big_seconds")")
inside_range=(--start 0:00:01 --end "$(time_text $((big_seconds - 1)))")
lossless_run() {
    local program=$1
    shift
    fresh "$lossless_out" && sync
    timed "$program" "$big" "$@" --sections "$sections" --profile "Settings of the source file." \
        --output "$lossless_out" --overwrite --quiet
}
gop_seconds=2
gop_start=$((big_seconds / 2))
cat "$big" >/dev/null
lossless_job() {
    case "$1" in
    split) t_lossless+=("$(lossless_run "$keyframe_program/tessel-split" "${whole_range[@]}")") ;;
    copy)
        fresh "$copy_out" && sync
        t_copy+=("$(timed cp "$big" "$copy_out/copy.mp4")")
        ;;
    exact) t_exact+=("$(lossless_run "$exact_program/tessel-split" "${inside_range[@]}")") ;;
    unchecked) t_unchecked+=("$(TESSEL_CUT_UNCHECKED=1 lossless_run "$exact_program/tessel-split" "${inside_range[@]}")") ;;
    inside) t_inside+=("$(lossless_run "$keyframe_program/tessel-split" "${inside_range[@]}")") ;;
    gop)
        t_gop+=("$(timed "$ffmpeg_program" -hide_banner -nostdin -loglevel error -ss "$gop_start" -t "$gop_seconds" \
            -i "$big" -an -c:v libx264 -preset faster -crf 16 -f null -)")
        ;;
    esac
}
for rep in $(seq "$reps"); do
    echo "  round $rep of $reps"
    if [ $((rep % 2)) -eq 1 ]; then
        lossless_job split && lossless_job copy && lossless_job exact && lossless_job unchecked &&
            lossless_job inside && lossless_job gop
    else
        lossless_job copy && lossless_job split && lossless_job gop && lossless_job inside &&
            lossless_job unchecked && lossless_job exact
    fi
done
fresh "$lossless_out" && fresh "$copy_out"
lossless_time=$(median "${t_lossless[@]}")
copy_time=$(median "${t_copy[@]}")
exact_time=$(median "${t_exact[@]}")
inside_time=$(median "${t_inside[@]}")
gop_time=$(median "${t_gop[@]}")
unchecked_time=$(median "${t_unchecked[@]}")
realtime_factor=$(awk -v d="$big_seconds" -v t="$lossless_time" 'BEGIN { printf "%.0f", d / t }')
# Each of the sections-1 cuts inside the range re-encodes a head, and the range's own start one more.
cuts=$sections
exact_per_cut=()
for i in "${!t_exact[@]}"; do
    exact_per_cut+=("$(awk -v e="${t_exact[i]}" -v k="${t_inside[i]}" -v n="$cuts" 'BEGIN { printf "%.3f", (e - k) / n }')")
done

if [ $lossless_only -eq 0 ]; then
# 4: the window's timer during a real run.
echo "Window: $freeze_sections sections up to $freeze_end, with a 10 ms timer"
gaps_run=() gaps_idle=()
for rep in $(seq "$reps"); do
    output="$("$windowbench" freeze "$bin" "$source" "$freeze_sections" "$freeze_end" 2>>"$log")"
    gaps_run+=("$(sed -n 's/^run_max_gap_ms=//p' <<<"$output")")
    gaps_idle+=("$(sed -n 's/^idle_max_gap_ms=//p' <<<"$output")")
done
gap_run=$(median "${gaps_run[@]}")
gap_idle=$(median "${gaps_idle[@]}")

# 5: start-up and memory against a bare Qt window.
echo "Start-up and memory"
shown=() shown_bare=() rss=() rss_bare=() rss_no_source=()
for rep in $(seq "$reps"); do
    output="$("$windowbench" startup "$bin" "$source" 2>>"$log")"
    shown+=("$(sed -n 's/^shown_ms=//p' <<<"$output")")
    rss+=("$(sed -n 's/^rss_mb=//p' <<<"$output")")
    rss_no_source+=("$(sed -n 's/^rss_no_source_mb=//p' <<<"$output")")
    output="$("$windowbench" bare 2>>"$log")"
    shown_bare+=("$(sed -n 's/^shown_ms=//p' <<<"$output")")
    rss_bare+=("$(sed -n 's/^rss_mb=//p' <<<"$output")")
done
shown_time=$(median "${shown[@]}")
shown_bare_time=$(median "${shown_bare[@]}")
rss_size=$(median "${rss[@]}")
rss_bare_size=$(median "${rss_bare[@]}")
rss_no_source_size=$(median "${rss_no_source[@]}")

fi
load_after="$(cut -d' ' -f1-3 /proc/loadavg)"

r3=$(paired_ratio "${t_lossless[*]}" "${t_copy[*]}")
per_cut=$(median "${exact_per_cut[@]}")
r3b=$(paired_ratio "${exact_per_cut[*]}" "${t_gop[*]}")
r3b_check=$(paired_ratio "${t_exact[*]}" "${t_unchecked[*]}")
lossless_rows="$(
    cat <<EOF
| 3a | Lossless split of ${big_seconds} s ($(du -h "$big" | cut -f1)) into $sections sections, cut points at keyframes | tessel-split ${lossless_time} s, ${realtime_factor}× realtime | cp of the same file ${copy_time} s | ${r3}× | ≤ 2× cp; ≥ 200× realtime | $(verdict "$r3" "<=" 2) / $(verdict "$realtime_factor" ">=" 200) |
| 3b | The same with exact cut points, $sections cuts inside GOPs | tessel-split ${exact_time} s: ${per_cut} s a cut more than at keyframes (${inside_time} s) | one ${gop_seconds} s GOP re-encoded ${gop_time} s | ${r3b}× | ≤ 1 GOP a cut | $(verdict "$r3b" "<=" 1) |
| 3b′ | The exact split of 3b, every join decoded and checked before its clip counts | tessel-split ${exact_time} s | the same without the check ${unchecked_time} s | ${r3b_check}× | ≤ 1.25× | $(verdict "$r3b_check" "<=" 1.25) |
EOF
)"
lossless_rounds="- lossless tessel-split at keyframes: ${t_lossless[*]} s; cp: ${t_copy[*]} s
- exact lossless tessel-split, cuts inside GOPs: ${t_exact[*]} s; at keyframes: ${t_inside[*]} s; one GOP re-encoded: ${t_gop[*]} s; without the join check: ${t_unchecked[*]} s"

if [ $lossless_only -eq 1 ]; then
    # The other figures stay as they were measured; the rows of figure 3 and their rounds are replaced.
    for figure in "$lossless_time" "$copy_time" "$exact_time" "$inside_time" "$gop_time" "$unchecked_time"; do
        [[ "$figure" =~ ^[0-9]+(\.[0-9]+)?$ ]] || { echo "A figure is missing (see $log)"; exit 1; }
    done
    [ -s "$results" ] || { echo "$results holds no table to update: run bench/run.sh first"; exit 1; }
    note="- Figures 3a to 3b′ measured alone (bench/run.sh --lossless, $reps rounds) on $(date -u '+%Y-%m-%d %H:%M UTC') on $cpu;"
    note="$note load average $load_before before, $(cut -d' ' -f1-3 /proc/loadavg) after"
    awk -v rows="$lossless_rows" -v rounds="$lossless_rounds" -v note="$note" '
        /^- Figures 3a to 3b/ { next }
        /^- Each figure is the median/ { print note }
        /^\| 3a \|/ { print rows; next }
        /^\| 3b/ { next }
        /^- lossless tessel-split at keyframes/ { print rounds; skip = 1; next }
        skip && (/^- exact lossless tessel-split/ || /^  /) { next }
        { skip = 0; print }' "$results" >"$results.new"
    mv "$results.new" "$results"
    echo
    echo "$lossless_rows"
    echo
    echo "Written to $results"
    update_readme
    exit 0
fi

# The table. Every figure must have come out as a number.
figures=("$split_time" "$direct_time" "$whole_time" "$small_split_time" "$small_whole_time" "$idle_time"
    "$lossless_time" "$copy_time" "$exact_time" "$inside_time" "$gop_time" "$unchecked_time" "$gap_run"
    "$gap_idle" "$shown_time" "$shown_bare_time" "$rss_size" "$rss_bare_size" "$rss_no_source_size")
for figure in "${figures[@]}"; do
    [[ "$figure" =~ ^[0-9]+(\.[0-9]+)?$ ]] || { echo "A figure is missing (see $log)"; exit 1; }
done
shown_seconds=$(awk -v m="$shown_time" 'BEGIN { printf "%.3f", m / 1000 }')

table="$(
    cat <<EOF
| # | Figure | Measured | Side by side | Ratio | Target | Met |
|---|---|---|---|---|---|---|
${encoded_rows}
${lossless_rows}
| 4 | Longest gap of a 10 ms timer in the main window, during a real $freeze_sections-section run | ${gap_run} ms | the same window idle ${gap_idle} ms | $(ratio "$gap_run" "$gap_idle")× | < 50 ms | $(verdict "$gap_run" "<" 50) |
| 5 | Start-up to the main window shown; resident memory idle with a source loaded | ${shown_seconds} s; ${rss_size} MB | a bare Qt window ${shown_bare_time} ms; ${rss_bare_size} MB (the program before a source is loaded: ${rss_no_source_size} MB) | $(ratio "$shown_time" "$shown_bare_time")×; $(ratio "$rss_size" "$rss_bare_size")× | < 0.5 s; < 80 MB | $(verdict "$shown_seconds" "<" 0.5) / $(verdict "$rss_size" "<" 80) |
EOF
)"

memory="$(awk '/^MemTotal/ { printf "%.0f GB", $2 / 1048576 }' /proc/meminfo)"
ffmpeg_version="$("$ffmpeg_program" -version | head -n 1 | cut -d' ' -f3)"
qt_version="$(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null || echo unknown)"
{
    echo "# Benchmark results"
    echo
    echo "- Date: $(date -u '+%Y-%m-%d %H:%M UTC')"
    echo "- Machine: $cpu, $(nproc) cores, $memory RAM, $(. /etc/os-release && echo "$PRETTY_NAME")"
    echo "- ffmpeg $ffmpeg_version, Qt $qt_version"
    echo "- Load average (1, 5, 15 min): $load_before before, $load_after after"
    echo "- Each figure is the median of its rounds ($reps in a full run, or as its line above says), all listed in"
    echo "  bench/results.md. A ratio is the median of the rounds' own ratios, whose two sides ran one right after the other."
    [ $smoke -eq 1 ] && echo "- Smoke run on tiny inputs: the figures only show that the bench works."
    echo
    echo "$table"
    echo
    echo "$encoded_note"
    echo
    echo "Rounds:"
    echo
    echo "$encoded_rounds"
    echo "$lossless_rounds"
    echo "- longest timer gap during a run: ${gaps_run[*]} ms; idle: ${gaps_idle[*]} ms"
    echo "- start-up: ${shown[*]} ms; bare Qt window: ${shown_bare[*]} ms"
    echo "- resident memory with a source: ${rss[*]} MB; without: ${rss_no_source[*]} MB; bare: ${rss_bare[*]} MB"
} >"$results"

echo
echo "$table"
echo
echo "Written to $results"

[ $smoke -eq 1 ] || update_readme
