#!/usr/bin/env bash
# After the window is resized, the arena follows: its black client area reaches the
# window's edges (within the view's sunken edge), and the next frames cover the whole of
# it, its four corners black arena and nothing left unpainted. F1 hands ship 1 to its
# autopilot, so that no ship rests on a corner; one flying across a corner is waited out.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_start_game

resized_to() {
    e2e_find_client && ((E2E_W == $1 && E2E_H == $2)) && e2e_spans_window && e2e_corners_black
}

xdotool key F1
from="${E2E_W}x${E2E_H}"
for size in "900 700" "400 300" "1000 740"; do
    read -r w h <<<"$size"
    xdotool windowsize --sync "$E2E_WID" "$w" "$h"
    e2e_wait_until 15 resized_to "$w" "$h" ||
        e2e_fail "after resizing $from to ${w}x${h} the client ${E2E_CW}x${E2E_CH} at ${E2E_CX},${E2E_CY} is not all arena"
    e2e_log "resized to ${w}x${h}: client ${E2E_CW}x${E2E_CH} painted"
    from="${w}x${h}"
done
