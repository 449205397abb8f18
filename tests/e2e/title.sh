#!/usr/bin/env bash
# The main window is titled "Vexlor" and carries the icon in 32 and 16 pixels; the
# accelerator keys (edit and pane commands that nothing handles) leave the game running
# with its window.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_start_game

title=$(xdotool getwindowname "$E2E_WID")
[[ "$title" == "Vexlor" ]] || e2e_fail "window title is '$title', expected 'Vexlor'"

icons=$(xprop -id "$E2E_WID" _NET_WM_ICON | grep -ao 'Icon ([0-9]* x [0-9]*)' | sort | tr '\n' ' ')
[[ "$icons" == "Icon (16 x 16) Icon (32 x 32) " ]] || e2e_fail "window icons: '$icons'"

xdotool key ctrl+c ctrl+Insert ctrl+v shift+Insert ctrl+x shift+Delete ctrl+z alt+BackSpace F6 shift+F6
# The game goes on drawing after them, with its one window.
first=$(e2e_shot)
e2e_wait_until 10 eval '! cmp -s "$first" "$(e2e_shot)"' || e2e_fail "the game stopped drawing after the accelerator keys"
e2e_game_running || e2e_fail "the game ended on an accelerator key"
[[ "$(e2e_windows_named Vexlor)" == "$E2E_WID" ]] || e2e_fail "the accelerator keys changed the windows"
e2e_log "title, icon and accelerators ok"
