#!/usr/bin/env bash
# Drives the framework's sample program on a private X display with a window manager and a
# notification area: the form, a dialog over a gradient with glyph buttons, an error box, the
# minimise command into the tray with its tip, and the double-click on the icon that brings
# the form back. Saves screenshots of each to the folder given.
#
# usage: framework_sample_test.sh SAMPLE_PROGRAM SCREENSHOT_FOLDER
set -euo pipefail

sample=$1
shots=$2
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

mkdir -p "$shots"
out=""
err=""
finish() {
    local status=$?
    if ((status != 0)) && [[ -n $err && -f $err ]]; then
        echo "--- sample's standard output:" >&2
        cat "$out" >&2
        echo "--- sample's standard error:" >&2
        tail -n 60 "$err" >&2
    fi
    desktop_cleanup
}
trap finish EXIT
desktop_start 800x600

out=$DESKTOP_TMP/sample.out
err=$DESKTOP_TMP/sample.err
# The sample can reach no clock-setting call, and holds no right to set the clock anyway.
desktop_program_prefix
"${DESKTOP_RUN[@]}" "$sample" >"$out" 2>"$err" &
app=$!
desktop_track "$app"

# The form, centred, with its menu bar and the banner.
form=$(desktop_wait_window "Corvane Sample")
desktop_wait_line "$out" '^activated$'
desktop_wait_line "$out" '^menu Minimize '
menu_x() { awk -v item="$1" '$1 == "menu" && $2 == item {print $3}' "$out"; }
menu_y() { awk -v item="$1" '$1 == "menu" && $2 == item {print $4}' "$out"; }
read -r width height < <(desktop_geometry "$form")
((width == 340 && height > 221 && height < 260)) ||
    desktop_fail "form is $width x $height, not 340 wide with 221 below its menu bar"
read -r fx fy fw fh < <(desktop_frame_rectangle "$form")
((fx + fw / 2 > 390 && fx + fw / 2 < 410)) || desktop_fail "form not centred across ($fx, $fw)"
desktop_screenshot_window "$form" "$shots/sample-form.png"
desktop_check_picture "$shots/sample-form.png" "$fw" "$fh"
desktop_note "form $width x $height at $fx,$fy: $shots/sample-form.png"

# The dialog: modal, over a gradient, with glyph buttons; Esc presses its cancel button.
desktop_click "$form" "$(menu_x Dialog)" "$(menu_y Dialog)"
dialog=$(desktop_wait_window "About Corvane Sample")
desktop_wait_line "$out" '^dialog activated$'
read -r width height < <(desktop_geometry "$dialog")
((width == 339 && height == 340)) || desktop_fail "dialog is $width x $height, not 339 x 340"
desktop_wait_viewable "$dialog"
read -r _ _ dw dh < <(desktop_frame_rectangle "$dialog")
desktop_screenshot_window "$dialog" "$shots/sample-dialog.png"
desktop_check_picture "$shots/sample-dialog.png" "$dw" "$dh"
desktop_note "dialog $width x $height: $shots/sample-dialog.png"
desktop_key "$dialog" Escape
desktop_wait_line "$out" '^dialog closed 1$'
desktop_wait_gone "$dialog"

# An error in a menu handler: the default handler's box, captioned with the title, and the
# same text on standard error; Enter answers it and the form goes on.
desktop_click "$form" "$(menu_x Error)" "$(menu_y Error)"
desktop_wait_line "$err" '^framework_sample: Read beyond end of file\.$'
error_box=""
find_error_box() {
    local id
    for id in $(desktop_windows_named "Corvane Sample"); do
        [[ $id != "$form" ]] && error_box=$id && return 0
    done
    return 1
}
desktop_wait_until "error box" find_error_box
desktop_wait_viewable "$error_box"
read -r _ _ bw bh < <(desktop_frame_rectangle "$error_box")
desktop_screenshot_window "$error_box" "$shots/sample-error-box.png"
desktop_check_picture "$shots/sample-error-box.png" "$bw" "$bh"
desktop_note "error box: $shots/sample-error-box.png"
desktop_key "$error_box" Return
desktop_wait_gone "$error_box"
desktop_is_viewable "$form" || desktop_fail "the form went with the error box"

# The minimise command hides the form and its task-bar entry and shows the icon with its tip.
desktop_click "$form" "$(menu_x Minimize)" "$(menu_y Minimize)"
desktop_wait_line "$out" '^in tray tip=Corvane Sample Tip icon=shown$'
desktop_wait_gone "$form"
icon=$(desktop_wait_tray_icon framework_sample)
desktop_note "tray icon $icon"
xdotool mousemove --window "$icon" 12 12 sleep 0.2 mousemove --window "$icon" 11 11
find_tip() {
    local id w h
    for id in $(xdotool search --onlyvisible --class framework_sample 2>/dev/null); do
        [[ $id == "$icon" ]] && continue
        read -r w h < <(desktop_geometry "$id")
        ((h < 40 && w > 40)) && return 0
    done
    return 1
}
desktop_wait_until "tip window over the icon" find_tip
desktop_screenshot "$shots/sample-tray-tip.png"
desktop_check_picture "$shots/sample-tray-tip.png" 800 600
desktop_note "tray with tip: $shots/sample-tray-tip.png"

# A double-click on the icon removes it and brings the form back where it was.
desktop_double_click "$icon" 11 11
desktop_wait_line "$out" '^double-click shown icon=none$'
desktop_wait_viewable "$form"
desktop_wait_gone "$icon"
read -r rx ry rw rh < <(desktop_frame_rectangle "$form")
[[ "$rx $ry $rw $rh" == "$fx $fy $fw $fh" ]] ||
    desktop_fail "form came back at $rx,$ry ${rw}x$rh, not $fx,$fy ${fw}x$fh"
desktop_screenshot "$shots/sample-restored.png"

# Close ends the program with exit code 0; activation ran once in all of this.
desktop_click "$form" "$(menu_x Close)" "$(menu_y Close)"
status=0
wait "$app" || status=$?
((status == 0)) || desktop_fail "sample ended with exit code $status"
activations=$(grep -c '^activated$' "$out")
((activations == 1)) || desktop_fail "the form was activated $activations times"
desktop_note "passed; screenshots in $shots"
