#!/usr/bin/env bash
# scripts/check-includes on small trees made here: what it must let pass and
# what it must refuse, with the arrows it names.
set -euo pipefail
check=$(cd "$(dirname "$0")/../.." && pwd)/scripts/check-includes
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# tree NAME FILE=INCLUDES...: a fresh tree with src/ and tools/ files, each
# including the listed files ("a.h,b.h") the way the project does.
tree() {
    local root="$work/$1" entry file includes=()
    shift
    rm -rf "$root"
    mkdir -p "$root/src" "$root/tools"
    for entry in "$@"; do
        file=${entry%%=*}
        IFS=, read -ra includes <<<"${entry#*=}"
        mkdir -p "$(dirname "$root/$file")"
        : >"$root/$file"
        [ ${#includes[@]} -eq 0 ] || printf '#include "%s"\n' "${includes[@]}" >>"$root/$file"
    done
    echo "$root"
}

# expect STATUS TEXT ROOT: the check's exit status, and TEXT in what it says
# (with no TEXT, that it says nothing).
expect() {
    local want=$1 text=$2 root=$3 status=0 said=ok
    "$check" "$root" 2>"$work/said" || status=$?
    if [ -z "$text" ]; then
        [ -s "$work/said" ] && said=
    else
        grep -qF -- "$text" "$work/said" || said=
    fi
    if [ "$status" -ne "$want" ] || [ -z "$said" ]; then
        echo "FAIL ${root##*/}: wanted status $want and \"$text\"; got $status:" >&2
        sed 's/^/    /' "$work/said" >&2
        failures=$((failures + 1))
    fi
}

# Down the floors, a platform file with its header and a module that is only
# a header: nothing to say.
expect 0 "" "$(tree clean \
    src/main.cpp=app/main_window.h,runtime/clock.h \
    src/app/main_window.h=content/day.h,updater/apps.h,ui/controls.h \
    src/app/main_window.cpp=app/main_window.h,app/state.h \
    src/app/state.h=settings/store.h \
    src/content/day.h=settings/store.h,runtime/clock.h \
    src/updater/apps.h=runtime/process.h \
    src/settings/store.h=runtime/clock.h \
    src/ui/controls.h=runtime/clock.h \
    src/runtime/clock.h= \
    src/runtime/process.h= \
    src/runtime/process_posix.cpp=runtime/process.h,runtime/clock.h \
    tools/site/main.cpp=server.h \
    tools/site/server.h= \
    tools/site/server.cpp=server.h)"

# A loop through source files only: each header alone is innocent.
expect 1 "src/app/a -> src/app/b  (src/app/a.cpp:1)" "$(tree pair \
    src/app/a.h= src/app/a.cpp=app/b.h src/app/b.h= src/app/b.cpp=app/a.h)"
expect 1 "src/app/b -> src/app/a  (src/app/b.cpp:1)" "$work/pair"
# Round three modules, one of them a platform's file.
expect 1 "src/runtime/c -> src/runtime/a" "$(tree three \
    src/runtime/a.h=runtime/b.h src/runtime/b.h= src/runtime/b_posix.cpp=runtime/c.h \
    src/runtime/c.h= src/runtime/c.cpp=runtime/a.h)"
# Inside a tool's folder, with includes beside the file.
expect 1 "tools/site/x -> tools/site/y" "$(tree tool tools/site/x.h=y.h tools/site/y.cpp=x.h tools/site/y.h=)"
# Up a floor, from a source file.
expect 1 "src/settings/store (floor 3) includes up from src/app/state (floor 5)" "$(tree up \
    src/settings/store.h= src/settings/store.cpp=app/state.h src/app/state.h=)"
# The GUI-free floors never reach into the toolkit layer, even though it is
# below them.
expect 1 "src/content/day is GUI-free and includes from the toolkit layer: src/ui/ids" "$(tree gui \
    src/content/day.h=ui/ids.h src/ui/ids.h=)"
# The shared floor: content and updater stay apart.
expect 1 "src/content/day (floor 4) includes sideways from src/updater/apps (floor 4)" "$(tree sideways \
    src/content/day.h=updater/apps.h src/updater/apps.h=)"
# Nothing includes main.cpp's folder, the top.
expect 1 "src/app/a (floor 5) includes up from src/main (floor 6)" "$(tree top src/app/a.h=main.h src/main.h=)"
# A folder the check has no floor for.
expect 1 "src/extras/ has no floor" "$(tree unknown src/extras/e.h=runtime/clock.h src/runtime/clock.h=)"

[ "$failures" -eq 0 ] && echo "check_includes_test: passed"
exit $((failures > 0))
