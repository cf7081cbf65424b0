#!/usr/bin/env bash
# Drives the real server and client, each on a computer of a simulated network, on a private X
# display with a window manager and a notification area: the window shows centred and hides
# into the tray with its tip, comes back on a double-click, goes back on "Minimize", opens its
# dialogs and stays shown after each, and "Close" ends it with exit code 0. Saves screenshots of
# every window and dialog and checks each against its layout's size.
#
# usage: programs_desktop_test.sh SERVER CLIENT FAKECLOCK_LIBRARY PROBE SCREENSHOT_FOLDER
set -euo pipefail

server=$1
client=$2
fakeclock=$3
probe=$4
shots=$5
here=$(cd "$(dirname "$0")" && pwd)
netns_lan=$here/../testbed/netns-lan.sh
# shellcheck source=lib.sh
source "$here/lib.sh"

if [[ $(id -u) -ne 0 ]]; then
    echo "SKIP: needs root for the simulated network (network namespaces)"
    exit 77
fi

bed=desk$$
app=""
out=""
err=""
finish() {
    local status=$?
    if ((status != 0)) && [[ -n $err && -f $err ]]; then
        echo "--- program's standard output:" >&2
        cat "$out" >&2
        echo "--- program's standard error:" >&2
        tail -n 60 "$err" >&2
    fi
    bash "$netns_lan" down "$bed" || true
    desktop_cleanup
}
trap finish EXIT

mkdir -p "$shots"
desktop_start 800x600
desktop_program_prefix
bash "$netns_lan" up "$bed" timehost desk1
read -r screen_w screen_h < <(xdpyinfo | awk '/dimensions:/ {split($2, s, "x"); print s[1], s[2]}')
# The work area leaves out the window manager's task bar; forms centre themselves in it.
read -r work_x work_y work_w work_h < <(xprop -root _NET_WORKAREA | tr -d , |
    awk '{print $3, $4, $5, $6}')
desktop_note "screen ${screen_w}x$screen_h, work area ${work_w}x$work_h at $work_x,$work_y"

# Structure events of the root window's children: a window that the window manager framed was
# mapped, that is shown, however briefly.
xev -root -event substructure >"$DESKTOP_TMP/xev.log" 2>&1 &
desktop_track $!

hex() { printf '0x%x' "$1"; }

# Prints "X Y" of the window's inside on the screen.
inside_position() {
    xwininfo -id "$1" | awk '/Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4}
        END {print x, y}'
}

# Fails unless the window is centred in the work area: the middle of its frame (or of the window
# itself while it has none) within the frame's own size of the middle. The framework centres the
# window before the window manager adds the frame around it.
check_centred() {
    local id=$1 what=$2 x y w h
    read -r x y w h < <(desktop_frame_rectangle "$id")
    local dx=$((2 * x + w - 2 * work_x - work_w)) dy=$((2 * y + h - 2 * work_y - work_h))
    ((dx >= -28 && dx <= 28 && dy >= -28 && dy <= 28)) ||
        desktop_fail "$what at $x,$y (${w}x$h) is not centred in the work area"
    desktop_note "$what ${w}x$h at $x,$y: centred"
}

# Saves the window's inside (without the window manager's frame) as NAME.png and with its
# frame as NAME-framed.png, and checks the inside picture's size.
shoot() {
    local id=$1 name=$2 width=$3 height=$4 x y w h
    desktop_wait_viewable "$id"
    read -r x y < <(inside_position "$id")
    read -r w h < <(desktop_geometry "$id")
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$shots/$name.png"
    desktop_check_picture "$shots/$name.png" "$width" "$height"
    read -r _ _ w h < <(desktop_frame_rectangle "$id")
    desktop_screenshot_window "$id" "$shots/$name-framed.png"
    desktop_check_picture "$shots/$name-framed.png" "$w" "$h"
    desktop_note "$name: $shots/$name.png (${width}x$height inside)"
}

# Prints the middle of each menu-bar item, "X Y" per line, left to right: the columns with
# dark pixels (the captions' letters) in the strip above the client area, in runs.
menu_items() {
    local id=$1 bar_height=$2 x y w h
    read -r x y < <(inside_position "$id")
    read -r w h < <(desktop_geometry "$id")
    import -window root -crop "${w}x${bar_height}+${x}+${y}" +repage -colorspace gray \
        -depth 8 txt:- |
        awk -F'[,:() ]+' -v mid=$((bar_height / 2)) '
            NR > 1 && $3 + 0 < 100 { dark[$1 + 0] = 1 }
            END {
                start = -1
                for (col = 0; col <= 4096; col++) {
                    if (col in dark) {
                        if (start < 0 || col - last > 6) {
                            if (start >= 0) print int((start + last) / 2), mid
                            start = col
                        }
                        last = col
                    }
                }
                if (start >= 0) print int((start + last) / 2), mid
            }'
}

# Clicks the menu-bar item with this index (0 for the first).
click_menu() {
    local id=$1 index=$2
    desktop_click "$id" "${item_x[index]}" "${item_y[index]}"
}

file_bytes() { od -An -tx1 -v "$1" | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; }

check_file_bytes() {
    local file=$1 expected=$2 actual
    [[ -f $file ]] || desktop_fail "no settings file $file"
    actual=$(file_bytes "$file")
    [[ $actual == "$expected" ]] || desktop_fail "settings file holds $actual, not $expected"
    desktop_note "Velnaro.inf: $actual"
}

# Compares the program's tip with the same text shown as a tip by the probe: the same pixels,
# since both draw it with Qt's tip window in the same font and colours.
check_tip() {
    local class=$1 tip_text=$2 icon=$3 name=$4
    xdotool mousemove --window "$icon" 12 12 sleep 0.2 mousemove --window "$icon" 11 11
    tip=""
    find_tip() {
        local id w h
        for id in $(xdotool search --onlyvisible --class "$class" 2>/dev/null); do
            [[ $id == "$icon" ]] && continue
            read -r w h < <(desktop_geometry "$id")
            if ((h < 40 && w > 20)); then
                tip=$id
                return 0
            fi
        done
        return 1
    }
    desktop_wait_until "tip over the icon of $class" find_tip
    desktop_screenshot "$shots/$name.png"
    local x y w h
    read -r x y w h < <(desktop_frame_rectangle "$tip")
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$DESKTOP_TMP/tip.png"
    env "XDG_RUNTIME_DIR=$DESKTOP_TMP/runtime" "$probe" tip "$tip_text" \
        >"$DESKTOP_TMP/probe.out" 2>"$DESKTOP_TMP/probe.err" &
    local probe_pid=$!
    desktop_track "$probe_pid"
    desktop_wait_line "$DESKTOP_TMP/probe.out" '^shown$'
    reference=""
    find_reference() {
        reference=$(xdotool search --onlyvisible --class desktop_probe 2>/dev/null | head -n 1)
        [[ -n $reference ]]
    }
    desktop_wait_until "the probe's tip" find_reference
    desktop_wait_viewable "$reference"
    local rx ry rw rh
    read -r rx ry rw rh < <(desktop_frame_rectangle "$reference")
    import -window root -crop "${rw}x${rh}+${rx}+${ry}" +repage "$DESKTOP_TMP/reference.png"
    kill "$probe_pid"
    wait "$probe_pid" 2>/dev/null || true
    [[ "$w $h" == "$rw $rh" ]] ||
        desktop_fail "tip of $class is ${w}x$h, the tip \"$tip_text\" is ${rw}x$rh"
    local differing
    differing=$(compare -metric AE "$DESKTOP_TMP/tip.png" "$DESKTOP_TMP/reference.png" null: 2>&1 ||
        true)
    [[ $differing == 0 ]] ||
        desktop_fail "tip of $class differs from \"$tip_text\" in $differing pixels"
    desktop_note "tip of $class reads \"$tip_text\"; screen with it: $shots/$name.png"
}

# Starts PROGRAM on a computer of the test bed in FOLDER with the preload library observing
# clock settings, waits until it has shown its window and hidden it into the tray, and checks
# both. Sets app, form, icon, form_x, form_y, item_x and item_y.
start_program() {
    local computer=$1 program=$2 folder=$3 class=$4 caption=$5 tip_text=$6 client_height=$7
    local items=$8 name=$9
    out=$DESKTOP_TMP/$class.out
    err=$DESKTOP_TMP/$class.err
    (cd "$folder" && exec bash "$netns_lan" exec "$bed" "$computer" "${DESKTOP_RUN[@]}" \
        env "LD_PRELOAD=$fakeclock" "CORVANE_FAKECLOCK_LOG=$DESKTOP_TMP/$class-clock.log" \
        "$program" >"$out" 2>"$err") &
    app=$!
    desktop_track "$app"

    icon=$(desktop_wait_tray_icon "$class")
    form=""
    find_form() {
        local id
        for id in $(xdotool search --name "^${caption}\$" 2>/dev/null); do
            [[ $(xprop -id "$id" WM_CLASS) == *"\"$class\""* ]] && form=$id && return 0
        done
        return 1
    }
    desktop_wait_until "main window of $class" find_form
    desktop_wait_gone "$form"
    # Shown at start: the window manager put it in a frame, then it went back to the root.
    grep -A1 '^ReparentNotify' "$DESKTOP_TMP/xev.log" | grep -q "window $(hex "$form"), parent" ||
        desktop_fail "the main window of $class was never shown"
    # Taken off its frame, the window stands where the frame stood while it was shown.
    read -r form_x form_y < <(inside_position "$form")
    check_centred "$form" "main window of $class at start"
    desktop_note "$class: shown, then hidden into the tray (icon $icon)"
    check_tip "$class" "$tip_text" "$icon" "$name-tray-tip"

    # A double-click brings it back at the same place; the icon goes.
    desktop_double_click "$icon" 11 11
    desktop_wait_viewable "$form"
    desktop_wait_gone "$icon"
    local x y
    read -r x y _ _ < <(desktop_frame_rectangle "$form")
    [[ "$x $y" == "$form_x $form_y" ]] ||
        desktop_fail "main window of $class came back at $x,$y, not $form_x,$form_y"
    local w h
    read -r w h < <(desktop_geometry "$form")
    local bar=$((h - client_height))
    ((w == 340 && bar >= 12 && bar <= 40)) ||
        desktop_fail "main window of $class is ${w}x$h, not 340 wide with $client_height below a menu bar"
    shoot "$form" "$name-main" 340 "$h"
    item_x=()
    item_y=()
    local ix iy
    while read -r ix iy; do
        item_x+=("$ix")
        item_y+=("$iy")
    done < <(menu_items "$form" "$bar")
    ((${#item_x[@]} == items)) ||
        desktop_fail "menu bar of $class shows ${#item_x[@]} items, not $items"
}

# Clicks the menu item and waits for the dialog titled TITLE; prints its id.
open_dialog() {
    local index=$1 title=$2 id
    click_menu "$form" "$index"
    id=$(desktop_wait_window "$title")
    desktop_wait_viewable "$id"
    echo "$id"
}

check_form_stays() {
    desktop_is_viewable "$form" || desktop_fail "main window went away after $1"
    desktop_find_tray_icon "$class_now" >/dev/null && desktop_fail "icon came back after $1"
    return 0
}

# "Help": the about dialog, closed with Esc; the main window stays.
check_about() {
    local index=$1 title=$2 width=$3 height=$4 name=$5 about
    about=$(open_dialog "$index" "$title")
    check_centred "$about" "$title"
    shoot "$about" "$name" "$width" "$height"
    desktop_key "$about" Escape
    desktop_wait_gone "$about"
    check_form_stays "the about dialog"
}

# "Minimize" sends the window back to the tray; a double-click brings it back.
check_minimize() {
    local index=$1
    click_menu "$form" "$index"
    desktop_wait_gone "$form"
    icon=$(desktop_wait_tray_icon "$class_now")
    desktop_double_click "$icon" 11 11
    desktop_wait_viewable "$form"
    desktop_wait_gone "$icon"
    desktop_note "$class_now: Minimize hid it, a double-click brought it back"
}

# "Close" ends the program with exit code 0 and takes the icon away.
check_close() {
    local index=$1 status=0
    click_menu "$form" "$index"
    wait "$app" || status=$?
    ((status == 0)) || desktop_fail "$class_now ended with exit code $status"
    desktop_find_tray_icon "$class_now" >/dev/null && desktop_fail "icon of $class_now stayed"
    if [[ -s $DESKTOP_TMP/$class_now-clock.log ]]; then
        desktop_fail "$class_now tried to set the clock: $(cat "$DESKTOP_TMP/$class_now-clock.log")"
    fi
    desktop_note "$class_now: Close ended it with exit code 0, no icon left"
}

# The server: menu Close, Help, Minimize.
class_now=corvane-server
mkdir -p "$DESKTOP_TMP/server"
start_program timehost "$server" "$DESKTOP_TMP/server" corvane-server "Corvane Server" \
    "Quenadi Servidor" 221 3 server
check_about 1 "About Corvane Server" 341 469 server-about
check_minimize 2
check_close 0

# The client, first started without a settings file: menu Close, Options, Help, Minimize.
class_now=corvane-client
folder=$DESKTOP_TMP/client
mkdir -p "$folder"
settings=$folder/Velnaro.inf
start_program desk1 "$client" "$folder" corvane-client "Corvane Client" "Corvane Client" 220 4 \
    client
check_file_bytes "$settings" "00 00 00 00 60 ea 00 00"

# Options shows "  1.00", selected and focused: Ctrl+C copies exactly that.
options=$(open_dialog 1 "Options of Corvane Client")
check_centred "$options" "options dialog"
shoot "$options" client-options 360 121
desktop_key "$options" ctrl+c
shown=$(env "XDG_RUNTIME_DIR=$DESKTOP_TMP/runtime" "$probe" clipboard)
[[ $shown == "  1.00" ]] || desktop_fail "options dialog shows \"$shown\" selected, not \"  1.00\""
desktop_note "options dialog shows \"  1.00\" selected"

# 1000 is out of range: the range dialog, closed with Enter; the options dialog stays with the
# current value selected again, and the file is unchanged.
xdotool type --delay 40 1000
xdotool key Return
range=$(desktop_wait_window "Value not valid!")
check_centred "$range" "range dialog"
shoot "$range" client-range 226 75
desktop_key "$range" Return
desktop_wait_gone "$range"
desktop_is_viewable "$options" || desktop_fail "the options dialog went with the range dialog"
check_file_bytes "$settings" "00 00 00 00 60 ea 00 00"

# 2 replaces the selected value; Enter stores two minutes and closes the dialog.
desktop_key "$options" 2
xdotool key Return
desktop_wait_gone "$options"
check_file_bytes "$settings" "00 00 00 00 c0 d4 01 00"
check_form_stays "the options dialog"

check_about 2 "About Corvane Client" 339 459 client-about
check_minimize 3
check_close 0
desktop_note "passed; screenshots in $shots"
