#!/usr/bin/env bash
# The game ends with status 0 on the menu's Game, Exit, and on Escape.
# Usage: exit.sh VEXLOR menu|escape
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
readonly how=${2:?menu or escape}
e2e_start_game

case "$how" in
menu)
    e2e_open_menu alt+g
    xdotool key x
    ;;
escape) xdotool key Escape ;;
*) e2e_fail "unknown way out $how" ;;
esac
e2e_wait_exit 10
((E2E_EXIT_STATUS == 0)) || e2e_fail "exit status $E2E_EXIT_STATUS"
e2e_log "ended by $how with status 0"
