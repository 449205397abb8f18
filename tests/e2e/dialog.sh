#!/usr/bin/env bash
# Opens one help dialog through the menu's mnemonics: the dialog shows with its title, the
# game keeps ticking behind it, and Return closes it.
# Usage: dialog.sh VEXLOR general|keys|control|about
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
readonly which=${2:?which dialog}
e2e_start_game

# The dialog's title, then the keys after Alt+H (k opens the Keys submenu).
case "$which" in
general) title=General keys=(g) ;;
keys) title=Keys keys=(k Return) ;;
control) title="Control Keys" keys=(k Down Return) ;;
about) title=Vexlor keys=(a) ;;  # the About dialog bears the main window's title
*) e2e_fail "unknown dialog $which" ;;
esac
e2e_open_menu alt+h
[[ "${keys[0]}" != k ]] || { e2e_open_menu k && keys=("${keys[@]:1}"); }
xdotool key "${keys[@]}"

e2e_await_dialog "$title"
[[ "$(xdotool getwindowname "$E2E_DIALOG")" == "$title" ]] || e2e_fail "dialog title is not '$title'"

# The game runs on behind the dialog.
since=$(e2e_state_value tick)
e2e_await 10 "tick > $since + 5" "the game stood still while the dialog was open"

e2e_wait_until 10 eval '[[ "$(xdotool getwindowfocus -f)" == "$E2E_DIALOG" ]]' ||
    e2e_fail "the dialog did not take the keyboard focus"
xdotool key Return
e2e_await_dialog_gone
e2e_game_running || e2e_fail "the game ended with the dialog"
[[ "$(e2e_windows_named Vexlor)" == "$E2E_WID" ]] || e2e_fail "the main window is gone"
e2e_log "dialog '$title' ok"
