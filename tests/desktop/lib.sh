# shellcheck shell=bash
# Shell functions for desktop tests: a private X display (Xvfb, no TCP) with a window manager
# that has a notification area, waiting for windows and log lines, clicks, keys and
# screenshots. Source it from a bash script that uses `set -euo pipefail`.
#
#   desktop_start                 starts Xvfb on a free display and jwm; exports DISPLAY
#   desktop_program_prefix        sets DESKTOP_RUN: "${DESKTOP_RUN[@]}" PROGRAM runs a Qt program
#                                 there without the right to set the clock
#   desktop_track PID             has desktop_cleanup end that process too
#   desktop_cleanup               ends every process started here or tracked, newest first
#
# Every wait has a deadline (DESKTOP_DEADLINE seconds, 30 by default) and fails the test with
# a message when it passes.

DESKTOP_LIB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
DESKTOP_DEADLINE=${DESKTOP_DEADLINE:-30}
DESKTOP_PIDS=()
DESKTOP_TMP=""
DESKTOP_RUN=()

desktop_fail() {
    echo "FAIL: $*" >&2
    exit 1
}

desktop_note() {
    echo "desktop: $*"
}

# Ends the tracked processes, newest first, and waits for each.
desktop_cleanup() {
    local i pid
    for ((i = ${#DESKTOP_PIDS[@]} - 1; i >= 0; i--)); do
        pid=${DESKTOP_PIDS[i]}
        if kill -0 "$pid" 2>/dev/null; then
            kill "$pid" 2>/dev/null || true
        fi
        wait "$pid" 2>/dev/null || true
    done
    DESKTOP_PIDS=()
    if [[ -n $DESKTOP_TMP && -d $DESKTOP_TMP ]]; then
        rm -rf "$DESKTOP_TMP"
    fi
}

desktop_track() {
    DESKTOP_PIDS+=("$1")
}

# Runs a check until it succeeds or the deadline passes.
desktop_wait_until() {
    local what=$1
    shift
    local end=$((SECONDS + DESKTOP_DEADLINE))
    until "$@"; do
        ((SECONDS < end)) || desktop_fail "no $what within ${DESKTOP_DEADLINE} s"
        sleep 0.05
    done
}

# Starts Xvfb on the first display number that is free and can be had, then jwm with the
# tests' own configuration. Sets DISPLAY and DESKTOP_TMP (a private folder removed at cleanup).
desktop_start() {
    local size=${1:-800x600}
    local tool missing=()
    for tool in Xvfb xdpyinfo jwm xdotool xwininfo xprop import identify setpriv; do
        command -v "$tool" >/dev/null || missing+=("$tool")
    done
    ((${#missing[@]} == 0)) ||
        desktop_fail "missing ${missing[*]} (scripts/setup installs them: xvfb x11-utils jwm xdotool imagemagick)"
    DESKTOP_TMP=$(mktemp -d /tmp/corvane-desktop.XXXXXX)
    chmod 700 "$DESKTOP_TMP"
    local n pid
    for n in $(seq 91 190); do
        [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
        Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >"$DESKTOP_TMP/xvfb-$n.log" 2>&1 &
        pid=$!
        local end=$((SECONDS + DESKTOP_DEADLINE))
        while kill -0 "$pid" 2>/dev/null && ((SECONDS < end)); do
            if DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
                desktop_track "$pid"
                export DISPLAY=":$n"
                desktop_note "Xvfb on $DISPLAY"
                desktop_start_window_manager
                return 0
            fi
            sleep 0.05
        done
        # Taken by someone else meanwhile, or failed: try the next number.
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    desktop_fail "no free X display number"
}

# Starts jwm, and starts it again when it has not taken the display after a while: a start
# now and then does not come up on a busy machine.
desktop_start_window_manager() {
    local attempt wm end
    for attempt in 1 2 3; do
        jwm -f "$DESKTOP_LIB_DIR/jwmrc" >>"$DESKTOP_TMP/jwm.log" 2>&1 &
        wm=$!
        desktop_track "$wm"
        end=$((SECONDS + DESKTOP_DEADLINE / 3))
        while ((SECONDS < end)); do
            desktop_window_manager_running && return 0
            kill -0 "$wm" 2>/dev/null || break
            sleep 0.1
        done
        echo "desktop: window manager start $attempt did not come up" >&2
        kill "$wm" 2>/dev/null || true
        wait "$wm" 2>/dev/null || true
    done
    cat "$DESKTOP_TMP/jwm.log" >&2
    desktop_fail "no window manager after three starts"
}

desktop_window_manager_running() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# Sets DESKTOP_RUN to the command words that start a Qt program on this display: the X
# platform, no session bus (so that nothing starts one), a private runtime folder, and without
# the right to set the machine's clock (root drops it; anyone else has none to drop). The
# program keeps the process id of the command.
desktop_program_prefix() {
    mkdir -p "$DESKTOP_TMP/runtime"
    chmod 700 "$DESKTOP_TMP/runtime"
    DESKTOP_RUN=(env QT_QPA_PLATFORM=xcb DBUS_SESSION_BUS_ADDRESS=disabled:
        "XDG_RUNTIME_DIR=$DESKTOP_TMP/runtime")
    if [[ $(id -u) -eq 0 ]]; then
        DESKTOP_RUN+=(setpriv --bounding-set=-sys_time --inh-caps=-sys_time --)
    fi
}

# Prints the id of the visible window whose title is exactly TITLE, waiting for it.
desktop_wait_window() {
    local title=$1
    local id
    id=$(timeout "$DESKTOP_DEADLINE" xdotool search --sync --onlyvisible --name "^${title}\$" |
        head -n 1) || true
    [[ -n $id ]] || desktop_fail "no window \"$title\" within ${DESKTOP_DEADLINE} s"
    echo "$id"
}

# Prints the ids of the visible windows titled exactly TITLE.
desktop_windows_named() {
    xdotool search --onlyvisible --name "^${1}\$" 2>/dev/null || true
}

desktop_is_viewable() {
    xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'
}

desktop_is_gone() {
    ! desktop_is_viewable "$1"
}

desktop_wait_viewable() {
    desktop_wait_until "window $1 on the screen" desktop_is_viewable "$1"
}

desktop_wait_gone() {
    desktop_wait_until "end of window $1" desktop_is_gone "$1"
}

desktop_log_has() {
    grep -qE -- "$2" "$1" 2>/dev/null
}

# Waits until a line of FILE matches the extended regular expression.
desktop_wait_line() {
    desktop_wait_until "line /$2/ in $(basename "$1")" desktop_log_has "$1" "$2"
}

# Prints "WIDTH HEIGHT" of a window's inside, or with "frame" of its window-manager frame.
desktop_geometry() {
    local id=$1
    if [[ ${2:-} == frame ]]; then
        local parent root
        parent=$(xwininfo -tree -id "$id" | awk '/Parent window id:/ {print $4}')
        root=$(xwininfo -root | awk '/Window id:/ {print $4}')
        [[ -n $parent && $parent != "$root" ]] && id=$parent
    fi
    xwininfo -id "$id" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}'
}

# Prints "X Y WIDTH HEIGHT" of a window on the screen, with its frame when it has one.
desktop_frame_rectangle() {
    local id=$1 parent root
    parent=$(xwininfo -tree -id "$id" | awk '/Parent window id:/ {print $4}')
    root=$(xwininfo -root | awk '/Window id:/ {print $4}')
    [[ -n $parent && $parent != "$root" ]] && id=$parent
    xwininfo -id "$id" | awk '/Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4}
        /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
}

# Clicks at X,Y inside a window.
desktop_click() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
}

desktop_double_click() {
    xdotool mousemove --window "$1" "$2" "$3" click --repeat 2 --delay 80 1
}

# Gives a window the focus and types one key (xdotool key --window is refused by X here).
desktop_key() {
    xdotool windowactivate --sync "$1" >/dev/null 2>&1 || xdotool windowfocus --sync "$1"
    xdotool key "$2"
}

# Saves the whole screen.
desktop_screenshot() {
    import -window root "$1"
}

# Saves a window with its frame, cut from the whole screen.
desktop_screenshot_window() {
    local x y w h
    read -r x y w h < <(desktop_frame_rectangle "$1")
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$2"
}

# Prints "WIDTH HEIGHT" of a picture file.
desktop_image_size() {
    identify -format '%w %h' "$1"
}

# Fails unless the picture is WIDTH by HEIGHT and has more than one colour.
desktop_check_picture() {
    local file=$1 width=$2 height=$3 size colours
    [[ -s $file ]] || desktop_fail "no screenshot $file"
    size=$(desktop_image_size "$file")
    [[ $size == "$width $height" ]] || desktop_fail "$file is $size, not $width $height"
    colours=$(identify -format '%k' "$file")
    ((colours > 1)) || desktop_fail "$file is one plain colour"
}

# Prints the id of a program's icon in the notification area: a small window of its class
# that the dock has mapped.
desktop_find_tray_icon() {
    local class=$1 id w h
    for id in $(xdotool search --onlyvisible --class "$class" 2>/dev/null); do
        read -r w h < <(desktop_geometry "$id")
        if ((w <= 48 && h <= 48)); then
            echo "$id"
            return 0
        fi
    done
    return 1
}

desktop_wait_tray_icon() {
    local class=$1
    desktop_wait_until "notification-area icon of $class" desktop_find_tray_icon "$class" >/dev/null
    desktop_find_tray_icon "$class"
}
