#!/usr/bin/env bash
# Builds the Debian package from a finished build and installs it with dpkg into a throwaway
# root that holds only what the maintainer scripts need (sh, setcap), so this machine's own
# package database stays untouched. Checks the files, the menu and login entries, the icons and
# the capabilities the postinst sets, reinstalls (as an upgrade does, which drops the
# capabilities with the old files), then removes the package. Never starts the programs.
# Usage: deb_install_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail

source_dir=$1
build_dir=$2
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
require() {  # require DESCRIPTION COMMAND...: a check that later checks depend on
    "${@:2}" || { echo "FAIL: $1" >&2; exit 1; }
}

require "runs as root (dpkg --root chroots into the throwaway root)" test "$(id -u)" -eq 0

work=$(mktemp -d /tmp/corvane-deb-test.XXXXXX)
trap 'rm -rf "$work"' EXIT

echo "--- cpack"
if ! cpack --config "$build_dir/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1
then
    cat "$work/cpack.log" >&2
    echo "FAIL: cpack could not build the package" >&2
    exit 1
fi
debs=("$work"/out/*.deb)
require "exactly one .deb is built (found: ${debs[*]})" test "${#debs[@]}" -eq 1 -a -f "${debs[0]}"
deb=${debs[0]}

echo "--- control data of $(basename "$deb")"
field() { dpkg-deb --field "$deb" "$1"; }
[[ $(field Package) == corvane ]] || fail "package name is '$(field Package)'"
[[ $(field Maintainer) =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "maintainer '$(field Maintainer)'"
[[ $(field Description | wc -l) -ge 2 ]] || fail "description has no long part"
depends=$(field Depends)
for package in libcap2-bin libqt6widgets6 libqt6core6 libc6 libstdc++6; do
    [[ ", $depends," == *", $package"[\ ,]* ]] || fail "Depends lacks $package: $depends"
done
dpkg-deb --control "$deb" "$work/control"
[[ -x $work/control/postinst ]] || fail "no executable postinst"
# Every dependency must be satisfiable from the packages this machine knows.
apt-get --simulate --quiet install "$deb" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log" >&2; fail "apt cannot satisfy the dependencies"; }

echo "--- throwaway root"
root=$work/root
mkdir -p "$root/usr" "$root/var/lib/dpkg/"{info,updates,triggers,alternatives} "$root/tmp"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
for dir in bin sbin lib lib64; do  # the same merged /usr layout as this machine
    if [[ -L /$dir ]]; then
        mkdir -p "$root/$(readlink "/$dir")"
        ln -s "$(readlink "/$dir")" "$root/$dir"
    fi
done
copy_with_libraries() {
    local program file
    program=$(command -v "$1")
    for file in "$program" $(ldd "$program" | grep -o '/[^ ]*'); do
        mkdir -p "$root$(dirname "$file")"
        cp -L "$file" "$root$file"
    done
}
for program in sh setcap; do
    copy_with_libraries "$program"
done
# dpkg's output goes to a log, shown when a step fails: with --force-depends it warns at length
# about the dependencies the throwaway root lacks.
in_root() {
    PATH=/usr/sbin:/usr/bin:/sbin:/bin dpkg --root="$root" "$@" >"$work/dpkg.log" 2>&1 ||
        { cat "$work/dpkg.log" >&2; return 1; }
}

# The fields that matter are checked below in any case; the full syntax when the validator of
# desktop-file-utils is installed.
validate=$(command -v desktop-file-validate || true)
[[ -n $validate ]] || echo "note: desktop-file-validate is not installed; desktop entry syntax unchecked"
check_installed_files() {
    local bin=$root/usr/bin share=$root/usr/share program entry icon size
    for program in corvane-server corvane-client; do
        [[ -x $bin/$program ]] || fail "$program is not installed in /usr/bin"
        if ldd "$bin/$program" | grep -q 'not found'; then
            fail "$program needs libraries that are not installed: $(ldd "$bin/$program")"
        fi
    done
    for entry in "$share/applications/corvane-server.desktop" \
        "$share/applications/corvane-client.desktop" \
        "$share/corvane/autostart/corvane-client.desktop"; do
        [[ -f $entry ]] || { fail "missing $entry"; continue; }
        if [[ -n $validate ]]; then
            "$validate" "$entry" || fail "$entry is not a valid desktop entry"
        fi
        program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
        [[ -n $program && -x $bin/$program ]] || fail "$entry starts '$program', not installed"
        icon=$(sed -n 's/^Icon=//p' "$entry")
        [[ $icon == corvane ]] || fail "$entry has the icon '$icon'"
        grep -qx 'Name=Corvane \(Server\|Client\)' "$entry" || fail "$entry has no proper Name"
        grep -q '^Comment=.' "$entry" || fail "$entry has no Comment"
        ! grep -qx 'Hidden=true' "$entry" || fail "$entry is hidden"
    done
    [[ ! -e $root/etc/xdg/autostart ]] || fail "the package enables autostart by itself"
    for icon in "$source_dir"/resources/icon-*.png; do
        size=${icon##*icon-}
        size=${size%.png}
        cmp -s "$icon" "$share/icons/hicolor/${size}x$size/apps/corvane.png" ||
            fail "icon ${size}x$size is missing or differs from resources/icon-$size.png"
    done
}
check_capabilities() {
    local got
    got=$(getcap "$root/usr/bin/corvane-client" | awk '{print $NF}')
    [[ $got == cap_net_bind_service,cap_sys_time=ep ]] || fail "client capabilities: '$got' ($1)"
    got=$(getcap "$root/usr/bin/corvane-server" | awk '{print $NF}')
    [[ $got == cap_net_bind_service=ep ]] || fail "server capabilities: '$got' ($1)"
}

echo "--- dpkg --install"
# The throwaway root lacks the libraries the package depends on; the host has them (checked
# above with apt and ldd).
in_root --force-depends --install "$deb" || fail "dpkg --install failed"
status=$(dpkg --root="$root" --status corvane | sed -n 's/^Status: //p')
[[ $status == "install ok installed" ]] || fail "the package is not configured: $status"
check_installed_files
check_capabilities "after the first install"

echo "--- dpkg --install again (an upgrade replaces the files, dropping their capabilities)"
in_root --force-depends --install "$deb" || fail "reinstalling failed"
check_capabilities "after reinstalling"

echo "--- dpkg --remove"
in_root --remove corvane || fail "dpkg --remove failed"
left=$(cd "$root" && find usr -name 'corvane*' | sort)
[[ -z $left ]] || fail "files left after removal: $left"

if ((failures)); then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "the package builds, installs with its capabilities, reinstalls and removes cleanly"
