#!/usr/bin/env bash
# The arena at the start fills the window below its menu bar with the scoreboard drawn (ships
# 1 to 3's columns in their colours; a drifting power-up covering one is waited out).
# F11 and Alt+Enter switch the window to full screen and back. In full screen the window
# covers the whole screen, the menu bar stays, and the arena grows with it: the scoreboard
# still at client (10, 10) and black arena out to the screen's edges. Switching back gives
# the old size. Escape ends the game at once in full screen too, and SIGTERM still ends it
# (SDL, started for the controllers, installs no signal handlers).
# Full screen is the window manager's to grant, so this test runs one (openbox).
source "$(dirname "$0")/lib.sh"
e2e_init "$@"

e2e_start_openbox

read -r SCREEN_W SCREEN_H < <(xdpyinfo 2>/dev/null | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
[[ -n "${SCREEN_W:-}" ]] || e2e_fail "no screen size from xdpyinfo"

# Under a reparenting window manager xdotool reports the window's position off by the
# frame's extents; the X server's absolute position is right.
e2e_read_geometry() {
    local -r info=$(xwininfo -id "$E2E_WID")
    E2E_X=$(awk '/Absolute upper-left X:/ { print $NF }' <<<"$info")
    E2E_Y=$(awk '/Absolute upper-left Y:/ { print $NF }' <<<"$info")
    E2E_W=$(awk '/^ *Width:/ { print $NF }' <<<"$info")
    E2E_H=$(awk '/^ *Height:/ { print $NF }' <<<"$info")
}

# The window manager gives the focus on activation, not on pointer motion.
e2e_activate() {
    xdotool windowactivate --sync "$E2E_WID" 2>/dev/null || xdotool windowfocus --sync "$E2E_WID"
}

full_screen() {
    e2e_find_client && ((E2E_X == 0 && E2E_Y == 0 && E2E_W == SCREEN_W && E2E_H == SCREEN_H)) &&
        e2e_spans_window && e2e_corners_black && e2e_labels_ok
}

windowed_at() {
    e2e_find_client && ((E2E_W == $1 && E2E_H == $2)) && e2e_spans_window && e2e_corners_black && e2e_labels_ok
}

e2e_start_game
e2e_activate
at_start() { windowed_at "$1" "$2" && e2e_columns_ok; }
e2e_wait_until 15 at_start "$E2E_W" "$E2E_H" || e2e_fail "the window's arena and scoreboard are not all drawn at the start"
readonly old_w=$E2E_W old_h=$E2E_H old_cw=$E2E_CW old_ch=$E2E_CH
e2e_log "window ${old_w}x${old_h}, arena ${old_cw}x${old_ch}; screen ${SCREEN_W}x${SCREEN_H}"

for keys in F11 alt+Return; do
    xdotool key "$keys"
    e2e_wait_until 15 full_screen ||
        e2e_fail "after $keys: window ${E2E_W}x${E2E_H} at ${E2E_X},${E2E_Y}, arena ${E2E_CW:-?}x${E2E_CH:-?} at ${E2E_CX:-?},${E2E_CY:-?}: not full screen"
    ((E2E_CW > old_cw && E2E_CH > old_ch)) || e2e_fail "after $keys the arena did not grow: ${E2E_CW}x${E2E_CH}"
    e2e_log "$keys: full screen, arena ${E2E_CW}x${E2E_CH} at ${E2E_CX},${E2E_CY}, scoreboard at (10, 10)"
    xdotool key "$keys"
    e2e_wait_until 15 windowed_at "$old_w" "$old_h" ||
        e2e_fail "after $keys again: window ${E2E_W}x${E2E_H}, arena ${E2E_CW:-?}x${E2E_CH:-?}: not back to ${old_w}x${old_h}"
    ((E2E_CW == old_cw && E2E_CH == old_ch)) || e2e_fail "after $keys again the arena is ${E2E_CW}x${E2E_CH}"
    e2e_log "$keys again: back to ${old_w}x${old_h}"
done

# Escape in full screen.
xdotool key F11
e2e_wait_until 15 full_screen || e2e_fail "F11 did not switch to full screen a second time"
xdotool key Escape
e2e_wait_exit 10
((E2E_EXIT_STATUS == 0)) || e2e_fail "Escape in full screen: exit status $E2E_EXIT_STATUS"
e2e_log "Escape in full screen ended the game with status 0"

# SIGTERM ends the game. (A background job of a script ignores SIGINT, so SIGTERM stands
# for both: SDL would catch either.) The pointer leaves the old window's middle first (see
# e2e_stop_game).
xdotool mousemove --sync 0 0
e2e_start_game
kill -TERM "$E2E_GAME_PID"
e2e_wait_exit 10
((E2E_EXIT_STATUS == 143)) || e2e_fail "SIGTERM: exit status $E2E_EXIT_STATUS, not 143"
e2e_log "SIGTERM ended the game"
