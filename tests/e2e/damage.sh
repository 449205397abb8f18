#!/usr/bin/env bash
# The screen equals the surface: each frame puts on the window only what changed, and that
# must leave nothing stale. With the scene frozen by P, the screen after play, after a dialog
# over the arena closes and after another window over it goes away must equal the same
# scene painted whole, which a resize forces (the surface is made anew and put entire).
# Each paint draws the power-ups in a fresh flashing colour, so the screens are compared by
# where they are not black: a stale pixel is one lit where the whole repaint has black, or
# the other way round. A hit spark lives for one frame only and a whole repaint of a frozen
# scene drops it, so a scene frozen on a spark is played on and frozen again (bounded
# tries); stale pixels would differ in every try.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_start_game

# An md5 of which pixels of the client area are lit in a fresh screenshot.
client_sum() {
    /usr/bin/convert "$(e2e_shot)" -crop "${E2E_CW}x${E2E_CH}+${E2E_CX}+${E2E_CY}" +repage \
        -fill white +opaque black -depth 8 rgb:- | md5sum
}

# Waits until two screenshots in a row agree; prints their sum.
settled_sum() {
    local previous="" current
    local -r deadline=$((SECONDS + 10))
    while ((SECONDS < deadline)); do
        current=$(client_sum)
        [[ "$current" == "$previous" ]] && { echo "$current"; return 0; }
        previous=$current
        sleep 0.2
    done
    return 1
}

readonly W=$E2E_W H=$E2E_H
sized() { e2e_read_geometry && ((E2E_W == $1 && E2E_H == $2)); }
# Resizes the window away and back; the frozen scene is then painted whole.
repaint_whole() {
    local size
    for size in "$((W + 37)) $((H + 23))" "$W $H"; do
        xdotool windowsize --sync "$E2E_WID" $size
        e2e_wait_until 10 sized $size || e2e_fail "the window did not take the size $size"
    done
    e2e_wait_until 10 e2e_find_client || e2e_fail "the arena was not found after the resize"
}

# toggle_pause PAUSED: P, and waits for the game's pause flag to become PAUSED.
toggle_pause() {
    xdotool windowfocus --sync "$E2E_WID"
    xdotool key p
    e2e_await 10 "paused == $1" "P did not set the pause to $1"
}

# passing_window GEOMETRY: a window of another client over the arena, until it is gone again.
passing_window() {
    xlogo -geometry "$1" &
    local -r logo=$!
    e2e_wait_until 10 eval '[[ -n "$(e2e_windows_named xlogo)" ]]' || e2e_fail "the covering window did not show"
    e2e_end "$logo"
    e2e_wait_until 10 eval '[[ -z "$(e2e_windows_named xlogo)" ]]' || e2e_fail "the covering window did not go"
}

# compare WHAT: the settled screen now must be the whole repaint's.
compare() {
    local now
    now=$(settled_sum) || e2e_fail "the screen did not settle $1"
    [[ "$now" == "$whole" ]] || e2e_fail "$1 the screen differs from the frozen scene"
    e2e_log "$1: the screen equals the frozen scene"
}

frozen_equals_whole() {
    local played
    played=$(settled_sum) || e2e_fail "the frozen scene kept changing"
    repaint_whole
    whole=$(settled_sum) || e2e_fail "the repainted scene did not settle"
    [[ "$played" == "$whole" ]]
}

# play_and_freeze TRIES TICKS [GEOMETRY]: plays TICKS ticks (then a window passes over the
# arena, when given, and 20 more) and freezes, until the frozen screen equals its whole repaint.
play_and_freeze() {
    local try
    for ((try = 1; try <= $1; ++try)); do
        e2e_wait_ticks "$2"
        [[ -z "${3:-}" ]] || { passing_window "$3" && e2e_wait_ticks 20; }
        toggle_pause 1
        frozen_equals_whole && { e2e_log "after play: the screen equals the whole repaint (try $try)"; return; }
        e2e_log "try $try: the frozen frame differs from its whole repaint; playing on"
        toggle_pause 0
    done
    e2e_fail "after play the screen never equalled the scene painted whole"
}

whole=""
play_and_freeze 5 60 300x200+$((E2E_CX + 40))+$((E2E_CY + 60))

# A dialog over the arena, closed again.
e2e_open_menu alt+h
xdotool key a
e2e_await_dialog Vexlor
settled_sum >/dev/null || true
xdotool windowfocus --sync "$E2E_DIALOG"
xdotool key Return
e2e_await_dialog_gone
compare "after the dialog"

# Another window over the arena, gone again.
passing_window 500x400+$((E2E_CX + 20))+$((E2E_CY + 20))
compare "after uncovering"

# Playing on after all that, then frozen again: still nothing stale.
toggle_pause 0
play_and_freeze 3 40
e2e_log "damage ok"
