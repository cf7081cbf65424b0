#!/usr/bin/env bash
# The capabilities step of `cmake --install`: as root it sets them on the installed programs; as
# another user, and in a staged (DESTDIR) install, it sets nothing and prints the exact setcap
# commands for the installed paths. Never starts the programs.
# Usage: cmake_install_test.sh BUILD_DIR
set -euo pipefail

build_dir=$1
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
[[ $(id -u) -eq 0 ]] || { echo "FAIL: needs root, to install both as root and as nobody" >&2; exit 1; }

work=$(mktemp -d /tmp/corvane-install-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"

echo "--- as root"
prefix=$work/root-prefix
cmake --install "$build_dir" --prefix "$prefix" >"$work/root.log" 2>&1 ||
    { cat "$work/root.log" >&2; fail "installing as root failed"; }
[[ $(getcap "$prefix/bin/corvane-client" | awk '{print $NF}') == \
    cap_net_bind_service,cap_sys_time=ep ]] || fail "client capabilities after a root install"
[[ $(getcap "$prefix/bin/corvane-server" | awk '{print $NF}') == cap_net_bind_service=ep ]] ||
    fail "server capabilities after a root install"

expect_commands() {  # expect_commands LOG PREFIX WHAT
    if ! grep -qF "setcap cap_sys_time,cap_net_bind_service+ep '$2/bin/corvane-client'" "$1" ||
        ! grep -qF "setcap cap_net_bind_service+ep '$2/bin/corvane-server'" "$1"; then
        cat "$1" >&2
        fail "$3: the setcap commands are not printed"
    fi
}

echo "--- as nobody"
# Only the packaging folder's rules: nobody may not write the install manifest of this build.
prefix=$work/user-prefix
install -d -o nobody "$prefix"
setpriv --reuid=nobody --regid=nogroup --clear-groups \
    cmake -DCMAKE_INSTALL_PREFIX="$prefix" -P "$build_dir/packaging/cmake_install.cmake" \
    >"$work/user.log" 2>&1 || { cat "$work/user.log" >&2; fail "installing as nobody failed"; }
expect_commands "$work/user.log" "$prefix" "as nobody"

echo "--- staged into DESTDIR"
DESTDIR=$work/stage cmake --install "$build_dir" --prefix /opt/corvane >"$work/stage.log" 2>&1 ||
    { cat "$work/stage.log" >&2; fail "a staged install failed"; }
expect_commands "$work/stage.log" /opt/corvane "staged"
[[ -z $(getcap -r "$work/stage") ]] || fail "a staged install set capabilities: $(getcap -r "$work/stage")"

if ((failures)); then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "capabilities are set as root and spelt out otherwise"
