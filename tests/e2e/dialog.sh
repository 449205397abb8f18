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
e2e_await_dialog "$title"
dialog=$E2E_DIALOG
[[ "$(xdotool getwindowname "$dialog")" == "$title" ]] || e2e_fail "dialog title is not '$title'"

# The game runs on behind the dialog.
since=$(e2e_state_value tick)
e2e_await 10 "tick > $since + 5" "the game stood still while the dialog was open"

has_focus() {
    [[ "$(xdotool getwindowfocus -f)" == "$dialog" ]]
}
e2e_wait_until 10 has_focus || e2e_fail "the dialog did not take the keyboard focus"
xdotool key Return
e2e_await_dialog_gone
e2e_game_running || e2e_fail "the game ended with the dialog"
[[ "$(e2e_windows_named Vexlor)" == "$E2E_WID" ]] || e2e_fail "the main window is gone"
e2e_log "dialog '$title' ok"
