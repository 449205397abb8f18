#!/usr/bin/env bash
# The keyboard goes away and comes back while ship 1 holds Enter and Up, and both keys are
# released while the game does not have the keyboard. Judged from the game's state log:
# once the game runs again the ship's velocity stays as it was and it stops firing.
# Usage: focus.sh VEXLOR XFOCUS_TOOL away MS... | grab MS | dialog | minimise
#   away MS   a window of another client takes the focus for MS ms (one trial each)
#   grab MS   another client grabs the keyboard for MS ms
#   dialog    a help dialog opens while the keys are held; they go up in the dialog
#   minimise  under openbox the game is minimised, the keys go up, and it is restored
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
readonly XFOCUS=${2:?path to vexlor_xfocus}
readonly WAY=${3:?way}
shift 3
readonly -a TRIALS=("${@:-0}")
[[ -x "$XFOCUS" ]] || e2e_fail "no executable at $XFOCUS"

# X keycodes of Enter and Up, released by the other client as the player lets go.
readonly KEYCODE_RETURN=36 KEYCODE_UP=111

focus_is() {
    [[ "$(xdotool getwindowfocus -f 2>/dev/null)" == "$1" ]]
}

# --- The ways the keyboard goes away --------------------------------------------------------
# Each starts with Enter and Up held and ends with the game's window focused again.

go_away() {
    "$XFOCUS" away "$1" "$E2E_WID" "$KEYCODE_RETURN" "$KEYCODE_UP" || e2e_fail "the other client failed"
    e2e_wait_until 5 focus_is "$E2E_WID" || e2e_fail "the focus did not come back"
}

grab_keyboard() {
    "$XFOCUS" grab "$1" "$KEYCODE_RETURN" "$KEYCODE_UP" || e2e_fail "the other client failed"
}

# The General dialog opens through the menu; both keys are released while it has the
# focus; Enter then closes it.
through_dialog() {
    e2e_open_menu alt+h
    xdotool key g
    e2e_await_dialog General
    e2e_wait_until 10 focus_is "$E2E_DIALOG" || e2e_fail "the General dialog did not take the focus"
    xdotool keyup Up Return
    xdotool key Return
    e2e_await_dialog_gone
    e2e_wait_until 5 focus_is "$E2E_WID" || e2e_fail "the focus did not come back after the dialog"
}

minimised() {
    ! xdotool search --onlyvisible --name '^Vexlor$' 2>/dev/null | grep -qx "$E2E_WID"
}

through_minimise() {
    # Measured as drawn now: the size found while the window first appeared can be a frame
    # that was still being laid out.
    e2e_wait_until 5 e2e_find_client || e2e_fail "the arena was not drawn before the minimise"
    local -r width=$E2E_CW height=$E2E_CH
    xdotool windowminimize "$E2E_WID"
    e2e_wait_until 5 minimised || e2e_fail "the window was not minimised"
    xdotool keyup Up Return
    xdotool windowactivate --sync "$E2E_WID" || e2e_fail "the window was not restored"
    e2e_wait_until 5 focus_is "$E2E_WID" || e2e_fail "the focus did not come back after the restore"
    # The window manager may place the restored window elsewhere.
    restored() { e2e_find_client && ((E2E_CW == width && E2E_CH == height)); }
    e2e_wait_until 5 restored || e2e_fail "the arena was not drawn whole after the restore"
}

# --- The judgement ----------------------------------------------------------------------------
# The keys go down and away while the game is paused (P), so that a ship whose Up is still
# held changes its velocity in the first tick after P resumes the game. A death (its respawn
# changes the velocity) spoils the trial, which starts again.
trial() {
    [[ -z "$E2E_GAME_PID" ]] || e2e_stop_game
    e2e_start_on_keys
    xdotool keydown Return
    e2e_await 10 'ship(0, "bullets") > 0' "$WHAT: holding Enter fired no bullet"
    xdotool key p
    e2e_await 10 'paused == 1' "$WHAT: P did not pause the game"
    xdotool keydown Up
    case "$WAY" in
    away) go_away "$1" ;;
    grab) grab_keyboard "$1" ;;
    dialog) through_dialog ;;
    minimise) through_minimise ;;
    esac
    local -r rest=$(e2e_state_value 'ship(0, "vx") " " ship(0, "vy") " " ship(0, "deaths")')
    local -r since=$(e2e_state_value tick)
    xdotool key p
    e2e_await 10 'paused == 0' "$WHAT: P again did not resume the game"
    e2e_wait_ticks 40
    SPOILED=""
    if e2e_state_since "$since" "ship(0, \"deaths\") != ${rest##* }"; then
        SPOILED="ship 1 died"
        return
    fi
    ! e2e_state_since "$since" "ship(0, \"vx\") \" \" ship(0, \"vy\") \" \" ship(0, \"deaths\") != \"$rest\"" ||
        e2e_fail "$WHAT: ship 1's velocity changed from (${rest% *}) after the game ran again: Up is still held"
    e2e_quiet 0
    e2e_log "$WHAT: ship 1 keeps its velocity and no longer fires"
}

case "$WAY" in
away | grab | dialog) ;;
minimise) e2e_start_openbox ;;
*) e2e_fail "unknown way $WAY" ;;
esac

# A spoiled trial starts again in a new scene, a bounded number of times.
for argument in "${TRIALS[@]}"; do
    WHAT="$WAY${argument:+ $argument}"
    [[ "$WAY" == away || "$WAY" == grab ]] || WHAT=$WAY
    for try in 1 2 3 4; do
        trial "$argument"
        [[ -n "$SPOILED" ]] || break
        e2e_log "$WHAT: ship 1 could not be judged ($SPOILED); starting again"
        xdotool keyup Up Return
    done
    [[ -z "$SPOILED" ]] || e2e_fail "$WHAT: four trials in a row were spoiled"
done
