#!/usr/bin/env bash
# What the running program costs: the time from process start to a window
# with filled lists against the bundled sample site, then the CPU time used
# and the resident memory while it sits idle in the tray for IDLE_SECONDS
# (default 60). Runs under a virtual X server with trayer as the tray host.
# Not part of the tests; BUILD_DIR picks the build (a Release build gives the
# figures worth quoting).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-"$top/build"}
idle=${IDLE_SECONDS:-60}

if [ -z "${ZORVANE_BENCH_XVFB:-}" ]; then
    cmake --build "$build" -j2 --target zorvane zorvane-sample-site >/dev/null
    exec env ZORVANE_BENCH_XVFB=1 BUILD_DIR="$build" IDLE_SECONDS="$idle" \
        xvfb-run -a -s "-screen 0 1600x1000x24 -dpi 96" "$0" "$@"
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
"$build/tools/sample-site/zorvane-sample-site" >"$work/site-url" &
pids+=($!)
for _ in $(seq 100); do
    [ -s "$work/site-url" ] && break
    sleep 0.05
done
sleep 0.5 # let the tray host claim its selection

mkdir -p "$work/program" "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
cp "$build/src/zorvane" "$work/program/zorvane"
# Start in the tray, as a program that runs all day does.
printf 'App_Run_Minimized = 1\r\n' >"$work/program/Zorvane Software Updates and News.ini"

HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/home/.config" \
    ZORVANE_SITE_URL="$(head -n 1 "$work/site-url")" ZORVANE_REPORT_STARTUP=1 QT_QPA_PLATFORM=xcb \
    "$work/program/zorvane" 2>"$work/log" &
pid=$!
pids+=($pid)
for _ in $(seq 400); do
    grep -q 'ready after' "$work/log" && break
    sleep 0.05
done
grep 'ready after' "$work/log" || { echo "bench: the program did not get ready" >&2; cat "$work/log" >&2; exit 1; }

ticks=$(getconf CLK_TCK)
cpu() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
sleep 2 # the picture worker and the first paint finish
before=$(cpu)
sleep "$idle"
after=$(cpu)
rss=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
echo "idle ${idle} s in the tray: CPU $(( (after - before) * 1000 / ticks )) ms, resident memory $(( rss / 1024 )) MiB"
kill -TERM "$pid"
wait "$pid" || true
