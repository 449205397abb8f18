#!/usr/bin/env bash
# Opens one help dialog through the menu's mnemonics: the dialog shows with its title, the
# game keeps ticking behind it, and Return closes it.
# Usage: dialog.sh VEXLOR general|keys|control|about
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
readonly which=${2:?which dialog}
e2e_start_game

case "$which" in
general) title=General ;;
keys) title=Keys ;;
control) title="Control Keys" ;;
about) title=Vexlor ;;
*) e2e_fail "unknown dialog $which" ;;
esac

e2e_open_menu alt+h
case "$which" in
general) xdotool key g ;;
about) xdotool key a ;;
keys)
    e2e_open_menu k
    xdotool key Return
    ;;
control)
    e2e_open_menu k
    xdotool key Down Return
    ;;
esac

# The About dialog bears the main window's title; it is the other window of that name.
find_dialog() {
    e2e_game_running || e2e_fail "the game ended"
    dialog=$(e2e_windows_named "$title" | grep -vx "$E2E_WID" | head -n1 || true)
    [[ -n "$dialog" ]]
}
e2e_wait_until 10 find_dialog || e2e_fail "no dialog titled '$title' appeared"
[[ "$(xdotool getwindowname "$dialog")" == "$title" ]] || e2e_fail "dialog title is not '$title'"

# The arena behind the dialog, with the dialog blacked out, changes from frame to frame.
eval "$(xdotool getwindowgeometry --shell "$dialog" | sed 's/^/D_/')"
arena_only() {
    /usr/bin/convert "$1" -fill black -draw "rectangle $D_X,$D_Y $((D_X + D_WIDTH)),$((D_Y + D_HEIGHT))" \
        -crop "${E2E_CW}x${E2E_CH}+${E2E_CX}+${E2E_CY}" +repage -depth 8 rgb:- | md5sum
}
before=$(arena_only "$(e2e_shot)")
e2e_wait_until 10 eval '[[ "$(arena_only "$(e2e_shot)")" != "$before" ]]' ||
    e2e_fail "the arena did not change while the dialog was open"

# A modal dialog takes the keyboard as it opens.
has_focus() {
    [[ "$(xdotool getwindowfocus -f)" == "$dialog" ]]
}
e2e_wait_until 10 has_focus || e2e_fail "the dialog did not take the keyboard focus"
xdotool key Return
dialog_gone() {
    ! e2e_windows_named "$title" | grep -qx "$dialog"
}
e2e_wait_until 10 dialog_gone || e2e_fail "Return did not close the dialog"
e2e_game_running || e2e_fail "the game ended with the dialog"
[[ "$(e2e_windows_named Vexlor)" == "$E2E_WID" ]] || e2e_fail "the main window is gone"
e2e_log "dialog '$title' ok"
