#!/usr/bin/env bash
# What a program that lives in the tray all day costs, measured side by side
# for this program, the floor (bench/qt_floor.cpp: a bare Qt Widgets window of
# the main window's size with a tray icon, what Qt itself costs) and two
# desktop feed readers (quiterss, rssguard; skipped with a message when not
# installed), each under the same virtual X server with trayer as the tray
# host and the bundled sample site on 127.0.0.1:
#   - time from start to its main window on screen (and, for this program, to
#     the last page of the first refresh being served: the lists are filled);
#   - resident memory once settled, with the window shown and started in the
#     tray (the floor with --tray never shows its window);
#   - wake-ups per second (voluntary and involuntary context switches of
#     every thread, from /proc/PID/task/*/status) and CPU % of one core over
#     IDLE_SECONDS (default 60), first with the window shown, then with it
#     hidden (unmapped, as in the tray).
# Start-up and memory are taken ROUNDS times (default 3), every program once
# per round, and the medians are compared with the floor's; the idle figures
# once per program. Not part of the tests. BUILD_DIR picks the build (a
# Release build gives the figures worth quoting); `scripts/setup --bench`
# installs the two peers. BASELINE_PROGRAM=path adds another build of the
# program (an older one, say) to every round.
set -euo pipefail
# shellcheck source=scripts/lib.sh
. "$(dirname "$0")/../scripts/lib.sh"
idle=${IDLE_SECONDS:-60}
settle=${SETTLE_SECONDS:-5}
rounds=${ROUNDS:-3}

if [ -z "${ZORVANE_BENCH_XVFB:-}" ]; then
    # The folder is built as it was configured: a Release one is what counts.
    build_program qt_floor >/dev/null
    exec env ZORVANE_BENCH_XVFB=1 BUILD_DIR="$build" IDLE_SECONDS="$idle" SETTLE_SECONDS="$settle" ROUNDS="$rounds" \
        xvfb-run -a -s "-screen 0 1600x1000x24 -dpi 96" dbus-run-session -- "$0" "$@"
fi

work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

trayer --edge bottom --align right --widthtype pixel --width 200 --height 24 >/dev/null 2>&1 &
pids+=($!)
ZORVANE_SITE_LOG="$work/site-log" "$build/tools/sample-site/zorvane-sample-site" >"$work/site-url" &
pids+=($!)
for _ in $(seq 100); do
    [ -s "$work/site-url" ] && break
    sleep 0.05
done
site=$(head -n 1 "$work/site-url")
sleep 0.5 # let the tray host claim its selection

now_ms() { date +%s%3N; }
ticks=$(getconf CLK_TCK)

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
rss_kib() { awk '/VmRSS/ {print $2}' "/proc/$1/status"; }
mib() { awk -v k="$1" 'BEGIN {printf "%.1f", k / 1024}'; }
# "tid name switches" for every thread of $1, one per line, by thread id.
thread_switches() {
    for t in /proc/"$1"/task/*; do
        printf '%s %s %s\n' "${t##*/}" "$(tr ' ' _ <"$t/comm")" \
            "$(awk '/ctxt_switches/ {n += $2} END {print n + 0}' "$t/status" 2>/dev/null)"
    done | sort
}

# Wake-ups per second, CPU % and the busiest threads of $1 over $idle s. A
# thread that ended meanwhile is left out; one that started counts whole.
measure_idle() {
    local pid=$1 label=$2 c0 c1
    thread_switches "$pid" >"$work/before"
    c0=$(cpu_ticks "$pid")
    sleep "$idle"
    c1=$(cpu_ticks "$pid")
    thread_switches "$pid" >"$work/after"
    join -a2 -e0 -o 0,2.2,1.3,2.3 "$work/before" "$work/after" |
        awk '{d = $4 - $3; if (d < 0) d = 0; by[$2] += d; all += d} END {print "all", all; for (n in by) print n, by[n]}' \
            >"$work/deltas"
    awk -v s="$idle" -v c=$((c1 - c0)) -v t="$ticks" -v l="$label" '$1 == "all" \
        {printf "  %-14s wake-ups %7.2f /s   CPU %6.3f %%\n", l, $2 / s, c * 100 / t / s}' "$work/deltas"
    awk -v s="$idle" '$1 != "all" && $2 > 0 {printf "      %-16s %7.2f /s\n", $1, $2 / s}' "$work/deltas" |
        sort -k2 -rn | head -n 4
}

# Every program gets a fresh home; this program and its baseline keep their
# settings beside the program file (portable use), so each has its own copy.
fresh_home() {
    local home="$work/home-$1-$RANDOM"
    mkdir -p "$home/.config" "$home/runtime"
    chmod 700 "$home/runtime"
    echo "$home"
}

# launch NAME HOME COMMAND...: starts a program in the bench's environment;
# its pid is in $launched.
launch() {
    local name=$1 home=$2
    shift 2
    HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home/runtime" ZORVANE_SITE_URL="$site" \
        QT_QPA_PLATFORM=xcb "$@" >"$work/$name.log" 2>&1 &
    launched=$!
    pids+=("$launched")
}

# wait_window PID PATTERN: milliseconds since $start until a visible window of
# PID whose name matches PATTERN is there; empty after 30 s. Looked for every
# 10 ms: xdotool's own --sync looks only twice a second.
wait_window() {
    local window=""
    for _ in $(seq 3000); do
        window=$(xdotool search --onlyvisible --pid "$1" --name "$2" 2>/dev/null | head -n 1) || true
        [ -n "$window" ] && break
        sleep 0.01
    done
    if [ -n "$window" ]; then echo $(($(now_ms) - start)); fi
}

# Milliseconds since $start until the sample site served the last page of a
# refresh; empty when it did not within 30 s.
wait_lists_filled() {
    for _ in $(seq 1500); do
        grep -q 'site_news' "$work/site-log" && break
        sleep 0.02
    done
    awk -v s="$start" '/site_news/ {print $1 - s; exit}' "$work/site-log"
}

stop() {
    kill -TERM "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

# One round for one program: start, window, memory; results appended to
# $work/results as "label window-ms rss-kib lists-ms" (- where not taken).
# round LABEL KIND PATTERN COMMAND...; KIND is shown, tray (the program is set
# to start in the tray and times its lists) or floor-tray.
round() {
    local label=$1 kind=$2 pattern=$3
    shift 3
    local home shown="-" lists="-" rss
    home=$(fresh_home "$label")
    : >"$work/site-log"
    start=$(now_ms)
    launch "$label" "$home" "$@"
    local pid=$launched
    case $kind in
    shown)
        shown=$(wait_window "$pid" "$pattern")
        if [ -z "$shown" ]; then
            echo "  $label: no window within 30 s"
            stop "$pid"
            return
        fi
        if [[ $label == zorvane* || $label == baseline* ]]; then lists=$(wait_lists_filled); fi
        ;;
    tray) lists=$(wait_lists_filled) ;;
    esac
    sleep "$settle"
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "  $label: ended by itself; see its output:"
        sed 's/^/    /' "$work/$label.log" | tail -n 5
        return
    fi
    rss=$(rss_kib "$pid")
    echo "$label ${shown:--} $rss ${lists:--}" >>"$work/results"
    printf '  %-30s window %6s ms   resident %6s MiB   lists filled %6s ms\n' \
        "$label" "${shown:--}" "$(mib "$rss")" "${lists:--}"
    stop "$pid"
}

# A copy of a build of the program in a folder of its own, set to start
# shown or in the tray through its settings file beside it.
program_copy() {
    local binary=$1 folder=$2 minimized=$3
    mkdir -p "$folder"
    cp "$binary" "$folder/zorvane"
    printf 'App_Run_Minimized = %s\r\n' "$minimized" >"$folder/Zorvane Software Updates and News.ini"
    echo "$folder/zorvane"
}

title="^Zorvane Software Updates and News"
floor="$build/bench/qt_floor"
program=$(program_copy "$build/src/zorvane" "$work/program" 0)
program_tray=$(program_copy "$build/src/zorvane" "$work/program-tray" 1)
if [ -n "${BASELINE_PROGRAM:-}" ]; then
    baseline=$(program_copy "$BASELINE_PROGRAM" "$work/baseline" 0)
    baseline_tray=$(program_copy "$BASELINE_PROGRAM" "$work/baseline-tray" 1)
fi
# The peers' main windows (not their splash screens); RSS Guard's web engine
# refuses to start as root without its sandbox switched off.
peers=()
for peer in quiterss rssguard; do
    if command -v "$peer" >/dev/null; then
        peers+=("$peer")
    else
        echo "$peer: not installed (scripts/setup --bench installs it); skipped"
    fi
done
run_peer() {
    case $1 in
    quiterss) round quiterss shown "^QuiteRSS$" quiterss ;;
    rssguard) round rssguard shown "^RSS Guard [0-9]" env QTWEBENGINE_CHROMIUM_FLAGS=--no-sandbox rssguard ;;
    esac
}

: >"$work/results"
for r in $(seq "$rounds"); do
    echo "round $r of $rounds"
    round floor shown "^Qt floor$" "$floor"
    round zorvane shown "$title" "$program"
    round "floor, in the tray" floor-tray "" "$floor" --tray
    round "zorvane, in the tray" tray "" "$program_tray"
    if [ -n "${BASELINE_PROGRAM:-}" ]; then
        round "baseline" shown "$title" "$baseline"
        round "baseline, in the tray" tray "" "$baseline_tray"
    fi
    for peer in "${peers[@]}"; do run_peer "$peer"; done
done

# Medians of the rounds, and each against the floor in the same state (shown,
# or in the tray).
median() { sort -n | awk '{v[NR] = $1} END {if (NR == 0) print "-"; else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
column_of() { awk -v l="$1" -v c="$2" '{n = NF; label = $1; for (i = 2; i <= n - 3; i++) label = label " " $i} label == l && $(n - 3 + c) != "-" {print $(n - 3 + c)}' "$work/results"; }
echo
echo "medians of $rounds rounds"
printf '  %-24s %14s %8s %14s %12s %14s\n' "" "main window" "x floor" "resident" "over floor" "lists filled"
floor_ms=$(column_of floor 1 | median)
floor_rss=$(column_of floor 2 | median)
floor_tray_rss=$(column_of "floor, in the tray" 2 | median)
labels=(floor zorvane "floor, in the tray" "zorvane, in the tray")
[ -n "${BASELINE_PROGRAM:-}" ] && labels+=(baseline "baseline, in the tray")
labels+=("${peers[@]}")
for label in "${labels[@]}"; do
    ms=$(column_of "$label" 1 | median)
    rss=$(column_of "$label" 2 | median)
    lists=$(column_of "$label" 3 | median)
    base_rss=$floor_rss
    [[ $label == *"in the tray" ]] && base_rss=$floor_tray_rss
    ratio="-"
    [ "$ms" != "-" ] && [ "$floor_ms" != "-" ] && ratio=$(awk -v a="$ms" -v b="$floor_ms" 'BEGIN {printf "%.2f", a / b}')
    over="-"
    [ "$rss" != "-" ] && [ "$base_rss" != "-" ] && over=$(awk -v a="$rss" -v b="$base_rss" 'BEGIN {printf "%+.1f MiB", (a - b) / 1024}')
    printf '  %-24s %11s ms %8s %10s MiB %12s %11s ms\n' "$label" "$ms" "$ratio" \
        "$([ "$rss" != "-" ] && mib "$rss" || echo -)" "$over" "$lists"
done

# Idle: once per program, shown and then hidden (in the tray).
idle_shown_then_hidden() {
    local label=$1 pattern=$2
    shift 2
    local home pid
    home=$(fresh_home "$label-idle")
    start=$(now_ms)
    launch "$label-idle" "$home" "$@"
    pid=$launched
    if [ -z "$(wait_window "$pid" "$pattern")" ]; then
        echo "$label: no window within 30 s; skipped"
        stop "$pid"
        return
    fi
    sleep "$settle"
    echo "$label"
    measure_idle "$pid" "shown"
    for w in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
        xdotool windowunmap "$w" 2>/dev/null || true
    done
    sleep 1
    measure_idle "$pid" "hidden"
    stop "$pid"
}
echo
echo "idle, over $idle s each"
idle_shown_then_hidden zorvane "$title" "$program"
# As it runs all day: started in the tray, its window never shown.
home=$(fresh_home tray-idle)
: >"$work/site-log"
start=$(now_ms)
launch tray-idle "$home" "$program_tray"
pid=$launched
wait_lists_filled >/dev/null
sleep "$settle"
echo "zorvane, started in the tray"
measure_idle "$pid" "in the tray"
stop "$pid"
for peer in "${peers[@]}"; do
    case $peer in
    quiterss) idle_shown_then_hidden quiterss "^QuiteRSS$" quiterss ;;
    rssguard) idle_shown_then_hidden rssguard "^RSS Guard [0-9]" env QTWEBENGINE_CHROMIUM_FLAGS=--no-sandbox rssguard ;;
    esac
done
