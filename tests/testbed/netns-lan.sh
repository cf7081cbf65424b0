#!/usr/bin/env bash
# A simulated local network on this machine, for tests and the demo.
#
#   netns-lan.sh up TAG NAME...      one bridge namespace plus, per NAME, a computer: a network
#                                    namespace with eth0 (10.77.0.1, .2, ... /24, in the order
#                                    given) joined to the bridge, lo up, no route out, and a UTS
#                                    namespace whose host name is NAME
#   netns-lan.sh exec TAG NAME CMD...  runs CMD on computer NAME, without the right to set the
#                                    clock (CAP_SYS_TIME dropped)
#   netns-lan.sh addr TAG NAME       prints the computer's address
#   netns-lan.sh down TAG            ends the processes on the test bed and removes it; a test bed
#                                    that is not there is no error
#
# TAG keeps test beds apart: several may be up at once. Needs root.
set -euo pipefail

readonly STATE_ROOT=/run/corvane-lan
readonly SUBNET=10.77.0

die() {
    echo "netns-lan.sh: $*" >&2
    exit 1
}

usage() {
    die "usage: netns-lan.sh up TAG NAME... | exec TAG NAME CMD... | addr TAG NAME | down TAG"
}

check_tag() {
    # No hyphen: it separates the tag from the computer name in namespace names.
    [[ $1 =~ ^[A-Za-z0-9_]{1,24}$ ]] || die "bad tag '$1': use 1 to 24 letters, digits or _"
}

check_name() {
    [[ $1 =~ ^[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?$ ]] ||
        die "bad computer name '$1': use a host name label (letters, digits, inner hyphens)"
}

bridge_ns() { echo "cvlan-$1-bridge"; }
computer_ns() { echo "cvlan-$1-$2"; }
state_dir() { echo "$STATE_ROOT/$1"; }

require_root() {
    [[ $(id -u) -eq 0 ]] || die "needs root (network namespaces and UTS namespaces)"
}

# The index (1-based) of NAME on test bed TAG, from the list written by up.
computer_index() {
    local tag=$1 name=$2 names
    names="$(state_dir "$tag")/names"
    [[ -f $names ]] || die "test bed '$tag' is not up"
    local index
    index=$(grep -nx -- "$name" "$names" | cut -d: -f1 || true)
    [[ -n $index ]] || die "no computer '$name' on test bed '$tag'"
    echo "$index"
}

down() {
    local tag=$1 state ns
    state=$(state_dir "$tag")
    for ns in $(ip netns list | awk '{print $1}' | grep -E "^cvlan-${tag}-" || true); do
        # Only processes started on this test bed live in its namespaces.
        local pid
        for pid in $(ip netns pids "$ns" 2>/dev/null || true); do
            kill -KILL "$pid" 2>/dev/null || true
        done
        ip netns del "$ns" 2>/dev/null || true
    done
    if [[ -d $state ]]; then
        local file
        for file in "$state"/uts/*; do
            [[ -e $file ]] || continue
            umount "$file" 2>/dev/null || true
        done
        if mountpoint -q "$state/uts"; then
            umount "$state/uts" 2>/dev/null || true
        fi
        rm -rf "$state"
    fi
}

wait_until() {
    local what=$1
    shift
    local tries=200
    until "$@" >/dev/null 2>&1; do
        ((tries-- > 0)) || die "timed out waiting for $what"
        sleep 0.05
    done
}

link_is_up() {
    ip -n "$1" link show "$2" | grep -q 'LOWER_UP'
}

port_forwards() {
    bridge -n "$1" link show dev "$2" | grep -q 'state forwarding'
}

up() {
    local tag=$1
    shift
    (($# >= 1)) || usage
    (($# <= 250)) || die "at most 250 computers"
    local name
    for name in "$@"; do
        check_name "$name"
    done
    [[ $(printf '%s\n' "$@" | sort -u | wc -l) -eq $# ]] || die "computer names must differ"
    local state br
    state=$(state_dir "$tag")
    br=$(bridge_ns "$tag")
    if [[ -e $state ]] || ip netns list | grep -q "^$br\b"; then
        die "test bed '$tag' is up already; remove it with: netns-lan.sh down $tag"
    fi

    # Whatever ends the set-up early (a failed command, die, a signal) removes the half-built bed.
    # shellcheck disable=SC2034 # read by the EXIT trap
    UP_FINISHED=0
    trap 'if ((UP_FINISHED == 0)); then echo "netns-lan.sh: setting up test bed $tag failed; removing it" >&2; down "$tag"; fi' EXIT
    trap 'exit 130' INT TERM HUP
    mkdir -p "$state/uts"
    # Namespace files are bind mounts, which must not spread to other mount namespaces.
    mount --bind "$state/uts" "$state/uts"
    mount --make-private "$state/uts"
    printf '%s\n' "$@" >"$state/names"

    ip netns add "$br"
    ip -n "$br" link set lo up
    ip -n "$br" link add br0 type bridge
    ip -n "$br" link set br0 up

    local index=0 ns
    for name in "$@"; do
        index=$((index + 1))
        ns=$(computer_ns "$tag" "$name")
        ip netns add "$ns"
        ip -n "$br" link add "p$index" type veth peer name eth0 netns "$ns"
        ip -n "$br" link set "p$index" master br0
        ip -n "$br" link set "p$index" up
        nsenter --net="/run/netns/$ns" sysctl -qw net.ipv6.conf.all.disable_ipv6=1
        ip -n "$ns" link set lo up
        ip -n "$ns" addr add "$SUBNET.$index/24" brd + dev eth0
        ip -n "$ns" link set eth0 up
        touch "$state/uts/$name"
        unshare --uts="$state/uts/$name" hostname "$name"
    done
    nsenter --net="/run/netns/$br" sysctl -qw net.ipv6.conf.all.disable_ipv6=1
    index=0
    for name in "$@"; do
        index=$((index + 1))
        ns=$(computer_ns "$tag" "$name")
        wait_until "eth0 of $name" link_is_up "$ns" eth0
        wait_until "bridge port of $name" port_forwards "$br" "p$index"
    done
    # shellcheck disable=SC2034 # read by the EXIT trap
    UP_FINISHED=1
    trap - EXIT INT TERM HUP
}

run_on() {
    local tag=$1 name=$2
    shift 2
    (($# >= 1)) || usage
    computer_index "$tag" "$name" >/dev/null
    exec nsenter --net="/run/netns/$(computer_ns "$tag" "$name")" \
        --uts="$(state_dir "$tag")/uts/$name" -- \
        setpriv --bounding-set=-sys_time --inh-caps=-sys_time -- "$@"
}

main() {
    (($# >= 2)) || usage
    local command=$1 tag=$2
    shift 2
    check_tag "$tag"
    require_root
    case $command in
        up) up "$tag" "$@" ;;
        exec)
            (($# >= 2)) || usage
            run_on "$tag" "$@"
            ;;
        addr)
            (($# == 1)) || usage
            echo "$SUBNET.$(computer_index "$tag" "$1")"
            ;;
        down)
            (($# == 0)) || usage
            down "$tag"
            ;;
        *) usage ;;
    esac
}

main "$@"
