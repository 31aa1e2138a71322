#!/usr/bin/env bash
# A private PackageKit for the package bridge's tests, offline: a local apt
# repository of small test packages, a dpkg database of their own, a private
# system bus with polkitd and packagekitd on it, all inside a private mount
# namespace, so the machine's own package state is never touched.
#
#   packagekit-rig.sh DIR allow|deny COMMAND [ARGUMENT...]
#       runs COMMAND with DBUS_SYSTEM_BUS_ADDRESS pointing at the private bus,
#       polkit allowing (or denying) every PackageKit action, and prints what
#       COMMAND printed; its exit status is COMMAND's. DIR keeps the
#       repository and the private state between runs of one test.
#   packagekit-rig.sh DIR status
#       prints the private dpkg database's "package version" lines
#
# The private state starts with these installed, and the repository offers:
#   zorvane-rig-paint    1.0                 2.0     an application (desktop
#                                                    entry "Rig Paint")
#   libzorvane-rig1      1.2.6-5+deb12u1     1.2.6-5+deb12u2   a security
#                                                    update
#   zorvane-rig-beta     1.0~beta1           1.0
#   zorvane-rig-steady   1.0                 (none newer)
#
# Exit status 77 (and a line on standard error) when this machine cannot host
# the rig: not root, no unshare, mounts not allowed, or no packagekitd.
set -euo pipefail

skip() {
    echo "packagekit-rig: cannot run here: $*" >&2
    exit 77
}

[ $# -ge 2 ] || { sed -n '/^#   packagekit-rig.sh/,/^#$/p' "$0" | sed 's/^# \{0,3\}//' >&2; exit 2; }
dir=$(realpath -m "$1")
shift

# The folders the private state replaces, inside the namespace.
private_folders=(/var/lib/dpkg /var/lib/apt /var/cache/apt /etc/apt /var/lib/PackageKit /var/cache/PackageKit
    /etc/polkit-1/rules.d /usr/share/applications /opt/zorvane-rig /var/log)

# package REPO NAME VERSION [desktop NAME]: builds NAME at VERSION into the
# repository REPO.
package() {
    local repo=$1 name=$2 version=$3 tree
    shift
    tree=$(mktemp -d "$dir/build.XXXXXX")
    mkdir -p "$tree/DEBIAN" "$tree/opt/zorvane-rig/$name"
    printf '%s\n' "$version" >"$tree/opt/zorvane-rig/$name/version"
    if [ "${3:-}" = desktop ]; then
        mkdir -p "$tree/usr/share/applications"
        printf '[Desktop Entry]\nType=Application\nName=%s\nExec=/bin/true\n' "$4" \
            >"$tree/usr/share/applications/$name.desktop"
    fi
    cat >"$tree/DEBIAN/control" <<EOF
Package: $name
Version: $version
Architecture: all
Maintainer: Zorvane tests <tests@example.invalid>
Section: misc
Priority: optional
Description: a package of the bridge's tests
EOF
    dpkg-deb --root-owner-group -Zgzip --build "$tree" "$dir/$repo/${name}_${version}_all.deb" >/dev/null
    rm -rf "$tree"
}

# index REPO ORIGIN LABEL SUITE: the repository's package list and Release
# file, which PackageKit reads the kind of update from: an origin "Debian"
# with the label "Debian-Security" makes its updates security updates.
index() {
    (
        cd "$dir/$1"
        dpkg-scanpackages --multiversion . /dev/null 2>/dev/null >Packages
        gzip -9nk Packages
        apt-ftparchive -o APT::FTPArchive::Release::Origin="$2" -o APT::FTPArchive::Release::Label="$3" \
            -o APT::FTPArchive::Release::Suite="$4" release . >Release
    )
}

make_repository() {
    [ -f "$dir/repo/Release" ] && return 0
    mkdir -p "$dir/repo" "$dir/security"
    package repo zorvane-rig-paint 1.0 desktop "Rig Paint"
    package repo zorvane-rig-paint 2.0 desktop "Rig Paint"
    package security libzorvane-rig1 1.2.6-5+deb12u1
    package security libzorvane-rig1 1.2.6-5+deb12u2
    package repo zorvane-rig-beta 1.0~beta1
    package repo zorvane-rig-beta 1.0
    package repo zorvane-rig-steady 1.0
    index security Debian Debian-Security rig-security
    index repo Zorvane-Rig Zorvane-Rig rig
}

# make_state: the private folders' first contents, and the first versions
# installed into them.
make_state() {
    [ -d "$dir/state" ] && return 0
    local folder
    for folder in "${private_folders[@]}"; do
        mkdir -p "$dir/state$folder"
    done
    mkdir -p "$dir/state/var/lib/dpkg/info" "$dir/state/var/lib/dpkg/updates" "$dir/state/var/lib/apt/lists/partial" \
        "$dir/state/var/cache/apt/archives/partial" "$dir/state/etc/apt/apt.conf.d" \
        "$dir/state/etc/apt/preferences.d" "$dir/state/etc/apt/sources.list.d" "$dir/state/var/log/apt"
    : >"$dir/state/var/lib/dpkg/status"
    : >"$dir/state/var/lib/dpkg/available"
    printf 'deb [trusted=yes] file:%s ./\n' "$dir/repo" "$dir/security" >"$dir/state/etc/apt/sources.list"
}

write_rules() {
    local result=YES
    [ "$1" = deny ] && result=NO
    cat >"$dir/state/etc/polkit-1/rules.d/50-zorvane-rig.rules" <<EOF
polkit.addRule(function(action, subject) {
    if (action.id.indexOf("org.freedesktop.packagekit.") == 0)
        return polkit.Result.$result;
});
EOF
}

# inside MODE COMMAND...: in the namespace, with the private folders bound.
inside() {
    local mode=$1 folder
    shift
    mount --make-rprivate / || skip "mounts are not allowed"
    for folder in "${private_folders[@]}"; do
        mkdir -p "$folder" 2>/dev/null || true
        mount --bind "$dir/state$folder" "$folder" || skip "cannot bind $folder"
    done
    export DEBIAN_FRONTEND=noninteractive
    if [ ! -f "$dir/state/.installed" ]; then
        dpkg -i "$dir/repo/zorvane-rig-paint_1.0_all.deb" "$dir/security/libzorvane-rig1_1.2.6-5+deb12u1_all.deb" \
            "$dir/repo/zorvane-rig-beta_1.0~beta1_all.deb" "$dir/repo/zorvane-rig-steady_1.0_all.deb" >/dev/null
        touch "$dir/state/.installed"
    fi
    if [ "$mode" = status ]; then
        dpkg-query -W -f='${Package} ${Version}\n' | sort
        return 0
    fi
    apt-get update -qq >/dev/null 2>&1 || echo "packagekit-rig: apt-get update failed" >&2

    cat >"$dir/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$dir/bus.socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_type="method_call"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
EOF
    rm -f "$dir/bus.socket"
    local bus_pid polkit_pid pk_pid status=0
    dbus-daemon --config-file="$dir/bus.conf" --nofork --nopidfile >"$dir/bus.log" 2>&1 &
    bus_pid=$!
    for _ in $(seq 100); do [ -S "$dir/bus.socket" ] && break; sleep 0.05; done
    export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$dir/bus.socket"
    /usr/lib/polkit-1/polkitd --no-debug >"$dir/polkit.log" 2>&1 &
    polkit_pid=$!
    /usr/libexec/packagekitd --backend apt --disable-timer --keep-environment >"$dir/packagekit.log" 2>&1 &
    pk_pid=$!
    for _ in $(seq 200); do
        dbus-send --system --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner string:org.freedesktop.PackageKit 2>/dev/null | grep -q true && break
        sleep 0.05
    done
    "$@" || status=$?
    kill "$pk_pid" "$polkit_pid" 2>/dev/null || true
    wait "$pk_pid" "$polkit_pid" 2>/dev/null || true
    kill "$bus_pid" 2>/dev/null || true
    wait "$bus_pid" 2>/dev/null || true
    return "$status"
}

if [ "${1:-}" = --inside ]; then
    shift
    inside "$@"
    exit $?
fi

[ "$(id -u)" -eq 0 ] || skip "it needs root for its mounts"
command -v unshare >/dev/null || skip "unshare is missing"
[ -x /usr/libexec/packagekitd ] || skip "packagekitd is missing (scripts/setup installs packagekit)"
[ -x /usr/lib/polkit-1/polkitd ] || skip "polkitd is missing (scripts/setup installs polkitd)"
mode=$1
shift
case "$mode" in
allow | deny) [ $# -ge 1 ] || exit 2 ;;
status) ;;
*) exit 2 ;;
esac
mkdir -p "$dir"
make_repository
make_state
[ "$mode" = status ] || write_rules "$mode"
unshare --mount --propagation private true 2>/dev/null || skip "unshare --mount is not allowed"
exec unshare --mount --propagation private "$0" "$dir" --inside "$mode" "$@"
