#!/usr/bin/env bash
# A small flatpak world for the package bridge's tests, made offline in one
# folder: remotes served from local OSTree repositories, a runtime, test
# applications at whatever versions a test publishes, and a throwaway user
# installation to install them into. No network, no signing keys, no root.
#
#   flatpak-fixture.sh init DIR
#       a new fixture in DIR (which must not exist or be empty): the runtime
#       and the remote "local"
#   flatpak-fixture.sh add-remote DIR NAME
#       one more remote, the runtime published in it too
#   flatpak-fixture.sh add-app DIR ID NAME VERSION [REMOTE]
#       publishes VERSION of a new application ID, shown as NAME, in REMOTE
#       ("local" unless given) and installs it
#   flatpak-fixture.sh publish DIR ID VERSION [BUILD-EXPORT-OPTION...]
#       publishes VERSION of an application added before, in its remote; what
#       is installed stays as it is, so flatpak now has an update to offer.
#       The options go to `flatpak build-export` (--end-of-life=REASON, say),
#       but for the permission options (--filesystem, --share, --socket,
#       --device, --talk-name, --system-talk-name), which go to build-finish
#       With FIXTURE_PAYLOAD_BYTES set, the build carries that many random
#       bytes, so that downloading it takes a while over a slow remote
#   flatpak-fixture.sh publish-runtime DIR [REMOTE]
#       publishes a new build of the runtime in REMOTE ("local" unless given)
#
# What DIR holds:
#   home/             HOME of the user installation (home/.local/share/flatpak)
#   remotes/NAME/     the repository behind remote NAME (file:// address)
#   runtime/          the runtime's tree, published in every remote
#   apps/ID/          what an added application is called and where it lives
#   no-triggers/      an empty folder of post-install triggers (see below)
#
# flatpak has to see the same installation as this script: run it, and the
# program under test, with HOME=DIR/home and XDG_DATA_HOME=DIR/home/.local/share
# (and FLATPAK_USER_DIR unset). FLATPAK_SYSTEM_DIR, FLATPAK_TRIGGERSDIR and
# DBUS_SYSTEM_BUS_ADDRESS are taken from the caller when set.
#
# Applications are branch "stable" of the runtime's branch "1". Each carries
# its AppStream entry (files/share/app-info/xmls/ID.xml.gz): flatpak takes an
# installed application's name and version from it, and a remote's
# (`remote-ls`) from the AppStream branch made from it at publication.
# Nothing here runs the applications, so the runtime is empty: installing
# only needs it to exist.
set -euo pipefail

runtime_id=org.example.TestRuntime
runtime_branch=1
app_branch=stable

die() {
    echo "flatpak-fixture: $*" >&2
    exit 1
}

usage() {
    sed -n '/^#   flatpak-fixture.sh/,/^#$/p' "$0" | sed 's/^# \{0,3\}//' >&2
    exit 2
}

# use_fixture DIR: works on the fixture in DIR, never on the user's own
# installation.
use_fixture() {
    fixture=$(realpath -m "$1")
    export HOME="$fixture/home"
    export XDG_DATA_HOME="$HOME/.local/share" XDG_CONFIG_HOME="$HOME/.config" XDG_CACHE_HOME="$HOME/.cache"
    unset FLATPAK_USER_DIR
    # flatpak runs post-install triggers under bubblewrap, which needs user
    # namespaces that containers seldom grant; these applications need none.
    export FLATPAK_TRIGGERSDIR="${FLATPAK_TRIGGERSDIR:-$fixture/no-triggers}"
    arch=$(flatpak --default-arch)
}

# user_flatpak COMMAND ARGUMENTS...: a flatpak command on the fixture's user
# installation. Before installing or updating, flatpak run by anyone but root
# asks the system bus about parental controls and gives up when there is no
# such bus, as in most containers; a private bus is then enough, since no
# accounts service answers on it.
user_flatpak() {
    local command=$1
    shift
    if [ "$(id -u)" -eq 0 ] || [ -n "${DBUS_SYSTEM_BUS_ADDRESS:-}" ] || [ -S /run/dbus/system_bus_socket ]; then
        flatpak "$command" --user "$@" >&2
    else
        # shellcheck disable=SC2016 # the bus's address is known inside only
        dbus-run-session -- sh -c 'DBUS_SYSTEM_BUS_ADDRESS=$DBUS_SESSION_BUS_ADDRESS exec flatpak "$@"' \
            flatpak "$command" --user "$@" >&2
    fi
}

# repository REMOTE: the repository behind a remote of the fixture.
repository() {
    [ -d "$fixture/remotes/$1" ] || die "no remote $1 in $fixture"
    echo "$fixture/remotes/$1"
}

# publish_tree REPOSITORY TREE BRANCH [build-export options]: a finished build
# tree committed to BRANCH, the repository's summary and AppStream branch
# brought up to date for clients. The icon check's sandbox is off: no
# bubblewrap needed, and there are no icons.
publish_tree() {
    local repo=$1 tree=$2 branch=$3
    shift 3
    flatpak build-export --disable-sandbox --update-appstream "$@" "$repo" "$tree" "$branch" >&2
}

# xml_text TEXT: TEXT fit for an XML element.
xml_text() {
    printf '%s' "$1" | sed 's/&/\&amp;/g; s/</\&lt;/g; s/>/\&gt;/g'
}

# publish_app ID VERSION [build-export options]: builds VERSION of an added
# application and publishes it in its remote.
publish_app() {
    local id=$1 version=$2 record="$fixture/apps/$1" name remote tree
    shift 2
    [ -d "$record" ] || die "no application $id in $fixture: add-app adds it"
    name=$(cat "$record/name")
    remote=$(cat "$record/remote")
    tree=$(mktemp -d "$fixture/build.XXXXXX")
    mkdir -p "$tree/files/bin" "$tree/files/share/app-info/xmls"
    printf '[Application]\nname=%s\nruntime=%s/%s/%s\n' "$id" "$runtime_id" "$arch" "$runtime_branch" >"$tree/metadata"
    printf '#!/bin/sh\necho "%s %s"\n' "$id" "$version" >"$tree/files/bin/run"
    chmod 755 "$tree/files/bin/run"
    if [ -n "${FIXTURE_PAYLOAD_BYTES:-}" ]; then
        head -c "$FIXTURE_PAYLOAD_BYTES" /dev/urandom >"$tree/files/payload"
    fi
    gzip -n >"$tree/files/share/app-info/xmls/$id.xml.gz" <<EOF
<?xml version="1.0" encoding="UTF-8"?>
<components version="0.14" origin="flatpak">
  <component type="desktop-application">
    <id>$id</id>
    <name>$(xml_text "$name")</name>
    <summary>An application of the package bridge's tests</summary>
    <bundle type="flatpak">app/$id/$arch/$app_branch</bundle>
    <releases><release version="$(xml_text "$version")" timestamp="1704067200"/></releases>
  </component>
</components>
EOF
    local finish=() export=() option
    for option in "$@"; do
        case "$option" in
        --filesystem=* | --share=* | --socket=* | --device=* | --talk-name=* | --system-talk-name=*) finish+=("$option") ;;
        *) export+=("$option") ;;
        esac
    done
    flatpak build-finish --command=run "${finish[@]}" "$tree" >&2
    publish_tree "$(repository "$remote")" "$tree" "$app_branch" --subject="$id $version" "${export[@]}"
    rm -rf "$tree"
}

# publish_runtime [REMOTE]: a new build of the runtime (a new commit, nothing
# else changed), so that flatpak has a runtime update to offer.
publish_runtime() {
    date +%s%N >"$fixture/runtime/files/build"
    publish_tree "$(repository "${1:-local}")" "$fixture/runtime" "$runtime_branch" --runtime
}

# add_remote NAME: a new repository with the runtime in it, known to the user
# installation as remote NAME.
add_remote() {
    local name=$1 repo="$fixture/remotes/$1"
    [ ! -e "$repo" ] || die "remote $name exists already"
    mkdir -p "$repo"
    publish_tree "$repo" "$fixture/runtime" "$runtime_branch" --runtime
    user_flatpak remote-add --no-gpg-verify "$name" "file://$repo"
}

init() {
    if [ -e "$fixture" ] && [ -n "$(ls -A "$fixture")" ]; then
        die "$fixture is not empty"
    fi
    mkdir -p "$HOME" "$fixture/apps" "$fixture/remotes" "$fixture/no-triggers" "$fixture/runtime/usr" \
        "$fixture/runtime/files"
    printf '[Runtime]\nname=%s\n' "$runtime_id" >"$fixture/runtime/metadata"
    add_remote local
}

add_app() {
    local id=$1 name=$2 version=$3 remote=${4:-local}
    [ ! -e "$fixture/apps/$id" ] || die "application $id exists already"
    repository "$remote" >/dev/null
    mkdir -p "$fixture/apps/$id"
    printf '%s\n' "$name" >"$fixture/apps/$id/name"
    printf '%s\n' "$remote" >"$fixture/apps/$id/remote"
    publish_app "$id" "$version"
    user_flatpak install -y --noninteractive "$remote" "app/$id/$arch/$app_branch"
}

[ $# -ge 2 ] || usage
command=$1
use_fixture "$2"
shift 2
case "$command:$#" in
init:0) init ;;
add-remote:1) add_remote "$1" ;;
add-app:3 | add-app:4) add_app "$@" ;;
publish:*) [ $# -ge 2 ] || usage; publish_app "$@" ;;
publish-runtime:0 | publish-runtime:1) publish_runtime "$@" ;;
*) usage ;;
esac
