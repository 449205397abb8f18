#!/usr/bin/env bash
# A frame shows the black arena with the scoreboard: white "Score:" and "Deaths:" labels at
# client (10, 10) and (10, 30), and the three ships' columns in red, green and blue at
# x = 100, 130 and 160.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_start_game

# A drifting power-up may cover a ship's number for a while; wait for a frame without.
columns_ok() {
    local row colour x
    for row in 10 30; do
        x=100
        for colour in FF0000 00FF00 0000FF; do
            e2e_client_has "$E2E_SHOT" "$x" "$row" 12 16 "$colour" || return 1
            x=$((x + 30))
        done
    done
}

scoreboard_ok() {
    e2e_find_client && e2e_labels_ok && columns_ok
}

e2e_wait_until 15 scoreboard_ok || {
    e2e_find_client || true
    e2e_fail "no frame with the scoreboard; client area ${E2E_CW:-?}x${E2E_CH:-?} at ${E2E_CX:-?},${E2E_CY:-?}"
}
# The client area lies below the menu bar and within the window.
((E2E_CY > E2E_Y && E2E_CX >= E2E_X && E2E_CX + E2E_CW <= E2E_X + E2E_W && E2E_CY + E2E_CH <= E2E_Y + E2E_H)) ||
    e2e_fail "client area ${E2E_CW}x${E2E_CH} at ${E2E_CX},${E2E_CY} is not inside the window below its menu"
e2e_log "scoreboard ok; client area ${E2E_CW}x${E2E_CH} at ${E2E_CX},${E2E_CY}"
