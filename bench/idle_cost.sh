#!/usr/bin/env bash
# What a program that lives in the tray all day costs while nothing happens,
# measured side by side for this program and two desktop feed readers
# (quiterss, rssguard; skipped with a message when not installed), each under
# the same virtual X server with trayer as the tray host and the bundled
# sample site on 127.0.0.1:
#   - time from start to its main window on screen (and, for this program, to
#     the last page of the first refresh being served: the lists are filled);
#   - resident memory once settled;
#   - wake-ups per second (voluntary and involuntary context switches of
#     every thread, from /proc/PID/task/*/status) and CPU % of one core over
#     IDLE_SECONDS (default 60), first with the window shown, then with it
#     hidden (unmapped, as in the tray).
# Not part of the tests. BUILD_DIR picks the build (a Release build gives the
# figures worth quoting); `scripts/setup --bench` installs the two peers.
set -euo pipefail
# shellcheck source=scripts/lib.sh
. "$(dirname "$0")/../scripts/lib.sh"
idle=${IDLE_SECONDS:-60}
settle=${SETTLE_SECONDS:-5}

if [ -z "${ZORVANE_BENCH_XVFB:-}" ]; then
    # The folder is built as it was configured: a Release one is what counts.
    build_program >/dev/null
    exec env ZORVANE_BENCH_XVFB=1 BUILD_DIR="$build" IDLE_SECONDS="$idle" SETTLE_SECONDS="$settle" \
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

# run NAME WINDOW-PATTERN COMMAND...: starts the program with a fresh home,
# waits for its window, then measures it shown and hidden.
run() {
    local name=$1 pattern=$2
    shift 2
    local home="$work/home-$name"
    mkdir -p "$home/.config" "$home/runtime"
    chmod 700 "$home/runtime"
    : >"$work/site-log"
    local start pid window shown
    start=$(now_ms)
    HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home/runtime" ZORVANE_SITE_URL="$site" \
        QT_QPA_PLATFORM=xcb "$@" >"$work/$name.log" 2>&1 &
    pid=$!
    pids+=($pid)
    # Looked for every 10 ms: xdotool's own --sync looks only twice a second.
    window=""
    for _ in $(seq 3000); do
        window=$(xdotool search --onlyvisible --pid "$pid" --name "$pattern" 2>/dev/null | head -n 1) || true
        [ -n "$window" ] && break
        sleep 0.01
    done
    shown=$(now_ms)
    if [ -z "$window" ]; then
        echo "$name: no window within 30 s; skipped"
        kill "$pid" 2>/dev/null || true
        return
    fi
    echo "$name"
    echo "  main window after $((shown - start)) ms"
    if [ "$name" = zorvane ]; then
        for _ in $(seq 300); do
            grep -q 'site_news' "$work/site-log" && break
            sleep 0.02
        done
        local served
        served=$(awk '/site_news/ {print $1; exit}' "$work/site-log")
        [ -n "$served" ] && echo "  lists filled after $((served - start)) ms (last page of the first refresh served)"
    fi
    sleep "$settle"
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "  ended by itself; see its output:"
        sed 's/^/    /' "$work/$name.log" | tail -n 5
        return
    fi
    echo "  resident memory shown $(($(awk '/VmRSS/ {print $2}' "/proc/$pid/status") / 1024)) MiB"
    measure_idle "$pid" "shown"
    for w in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
        xdotool windowunmap "$w" 2>/dev/null || true
    done
    sleep 1
    measure_idle "$pid" "hidden"
    echo "  resident memory hidden $(($(awk '/VmRSS/ {print $2}' "/proc/$pid/status") / 1024)) MiB"
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

mkdir -p "$work/program"
cp "$build/src/zorvane" "$work/program/zorvane"
run zorvane "^Zorvane Software Updates and News" "$work/program/zorvane"

# As it runs all day: started in the tray, its window never shown.
tray_start() {
    local home="$work/home-tray" start pid served
    mkdir -p "$home/.config" "$home/runtime"
    chmod 700 "$home/runtime"
    printf 'App_Run_Minimized = 1\r\n' >"$work/program/Zorvane Software Updates and News.ini"
    : >"$work/site-log"
    start=$(now_ms)
    HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home/runtime" ZORVANE_SITE_URL="$site" \
        QT_QPA_PLATFORM=xcb "$work/program/zorvane" >"$work/tray.log" 2>&1 &
    pid=$!
    pids+=($pid)
    for _ in $(seq 1500); do
        grep -q 'site_news' "$work/site-log" && break
        sleep 0.02
    done
    served=$(awk '/site_news/ {print $1; exit}' "$work/site-log")
    echo "zorvane, started in the tray"
    [ -n "$served" ] && echo "  lists filled after $((served - start)) ms (last page of the first refresh served)"
    sleep "$settle"
    echo "  resident memory $(($(awk '/VmRSS/ {print $2}' "/proc/$pid/status") / 1024)) MiB"
    measure_idle "$pid" "in the tray"
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}
tray_start
# The peers' main windows (not their splash screens); RSS Guard's web engine
# refuses to start as root without its sandbox switched off.
peer() {
    local name=$1 pattern=$2
    shift 2
    if command -v "$name" >/dev/null; then
        run "$name" "$pattern" "$@"
    else
        echo "$name: not installed (scripts/setup --bench installs it); skipped"
    fi
}
peer quiterss "^QuiteRSS$" quiterss
peer rssguard "^RSS Guard [0-9]" env QTWEBENGINE_CHROMIUM_FLAGS=--no-sandbox rssguard
