# shellcheck shell=bash
# What the scripts share, sourced by each of them (and by bench/idle_cost.sh):
# where the source and build folders are, how a build folder is configured and
# the targets the program needs to run as it does for a user.
#
#   top     the source tree
#   build   the build folder: BUILD_DIR, build/ by default
#   BUILD_TYPE  CMake's build type when this configures a folder (Debug)

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-"$top/build"}

# The program, the package bridge it runs from its own folder for the
# Installed Apps tab (built into that folder), and the sample site every
# script points it at instead of the real one.
program_targets=(zorvane zorvane-packages zorvane-sample-site)

# install_missing_packages: the Debian packages the project needs; quick when
# they are all there.
install_missing_packages() {
    "$top/scripts/setup"
}

# configure_build [--if-new] [CMAKE-ARGUMENTS...]: configures the build folder
# with Ninja and warnings as errors. --if-new leaves a folder that is already
# configured as it is, with the build type and options it was given.
configure_build() {
    if [ "${1:-}" = --if-new ]; then
        shift
        [ -f "$build/CMakeCache.txt" ] && return 0
    fi
    cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Debug}" -DZORVANE_WERROR=ON "$@"
}

# build_program [TARGET...]: builds the program's targets and the extra ones
# given, two jobs at a time (the machines this runs on are small and shared).
build_program() {
    cmake --build "$build" -j2 --target "${program_targets[@]}" "$@"
}
