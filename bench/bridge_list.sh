#!/usr/bin/env bash
# How long the package bridge's `list` takes, with 1, 10 and 50 flatpak
# applications (every other one with an update), over a local remote
# (file://) and over a slow HTTP one (150 ms before each answer, 2 MB/s),
# for each bridge given (for example an older build beside the current one):
#
#   bench/bridge_list.sh BRIDGE [BRIDGE...]
#
# Prints one line per bridge, count and remote: the first run (which fetches
# the remote's AppStream data) and the median of three runs after it, in
# seconds. Everything happens in a throwaway flatpak world made by the tests'
# fixture; nothing of the machine's installations is touched. A benchmark,
# never run by the tests.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
fixture="$top/tests/tools/flatpak-fixture.sh"
[ $# -ge 1 ] || { sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }

work=$(mktemp -d)
server=
cleanup() {
    [ -n "$server" ] && kill "$server" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

export HOME="$work/world/home" XDG_DATA_HOME="$work/world/home/.local/share"
export XDG_CACHE_HOME="$work/cache" FLATPAK_SYSTEM_DIR="$work/system"
mkdir -p "$FLATPAK_SYSTEM_DIR"/repo/{objects,tmp,refs/heads,refs/mirrors,refs/remotes,state}
printf '[core]\nrepo_version=1\nmode=bare-user-only\n' >"$FLATPAK_SYSTEM_DIR/repo/config"

# A remote far away: each answer waits, then comes at a set speed.
cat >"$work/slow.py" <<'PY'
import http.server, socketserver, sys, time
root, port = sys.argv[1], int(sys.argv[2])
class Slow(http.server.SimpleHTTPRequestHandler):
    def __init__(self, *a, **k): super().__init__(*a, directory=root, **k)
    def send_head(self):
        time.sleep(0.15)
        return super().send_head()
    def copyfile(self, source, target):
        while chunk := source.read(200000):
            target.write(chunk); time.sleep(0.1)
    def log_message(self, *a): pass
socketserver.ThreadingTCPServer.allow_reuse_address = True
with socketserver.ThreadingTCPServer(("127.0.0.1", port), Slow) as s: s.serve_forever()
PY

# seconds COMMAND...: how long it ran.
seconds() {
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 || echo "bridge_list: $* failed" >&2
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f\n", b - a }'
}

median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }

have=0
bash "$fixture" init "$work/world" >/dev/null 2>&1
port=$((20000 + RANDOM % 20000))
python3 "$work/slow.py" "$work/world/remotes/local" "$port" &
server=$!
for count in 1 10 50; do
    while [ "$have" -lt "$count" ]; do
        have=$((have + 1))
        bash "$fixture" add-app "$work/world" "org.bench.App$have" "App $have" 1.0 >/dev/null 2>&1
        if [ $((have % 2)) -eq 1 ]; then
            bash "$fixture" publish "$work/world" "org.bench.App$have" 2.0 >/dev/null 2>&1
        fi
    done
    for remote in local slow; do
        url="file://$work/world/remotes/local"
        [ "$remote" = slow ] && url="http://127.0.0.1:$port/"
        flatpak remote-modify --user --url="$url" local
        for bridge in "$@"; do
            rm -rf "$XDG_CACHE_HOME" "$XDG_DATA_HOME/flatpak/appstream"
            first=$(seconds "$bridge" list)
            runs=()
            for _ in 1 2 3; do runs+=("$(seconds "$bridge" list)"); done
            printf '%-40s %3d apps  %-5s  first %6.2f s  then %6.2f s\n' "$bridge" "$count" "$remote" "$first" \
                "$(median "${runs[@]}")"
        done
    done
done
