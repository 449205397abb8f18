#!/usr/bin/env bash
# The game keys on a real keyboard, judged from the game's state log. F4, F2 and F3 hand the
# sentry and ships 2 and 3 to the keys, so that nothing fires by itself. Then, for ship 1
# (arrows, Enter), ship 2 (W S A D, Space) and ship 3 (the keypad with Num Lock on): the
# fire key fires, and in one tick the turn keys turn the heading 6 degrees either way and the
# thrust keys add 0.15 heading to the velocity, forward and back. Page Up adds a ship, Page
# Down takes one away, F1 hands ship 1 to its autopilot, P pauses and resumes (their limits
# and what a pause keeps are the arena's unit tests'); Escape ends the game with status 0
# even while paused.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"

# Keypad keys by keycode: xdotool's KP_ names toggle Num Lock around the key.
readonly KEYPAD_8=80 KEYPAD_4=83 KEYPAD_5=84 KEYPAD_6=85 KEYPAD_PLUS=86

e2e_start_on_keys
num_lock_on() { xset q | grep -q "Num Lock: *on"; }
num_lock_on || xdotool key Num_Lock
e2e_wait_until 5 num_lock_on || e2e_fail "Num Lock did not go on"

# turns SLOT KEY DEGREES: one tick of KEY turns the heading by DEGREES.
turns() {
    local -r change=$(e2e_change "$2" "ship($1, \"hx\") \" \" ship($1, \"hy\")")
    awk -v want="$3" '{ a = atan2($1 * $4 - $2 * $3, $1 * $3 + $2 * $4) * 180 / atan2(0, -1); exit !(a > want - 0.1 && a < want + 0.1) }' <<<"$change" ||
        e2e_fail "$2 turned ship $(($1 + 1))'s heading from ($change), not by $3 degrees"
}

# thrusts SLOT KEY SIGN: one tick of KEY adds SIGN * 0.15 heading to the velocity.
thrusts() {
    local -r heading=$(e2e_state_value "ship($1, \"hx\") \" \" ship($1, \"hy\")")
    local -r change=$(e2e_change "$2" "ship($1, \"vx\") \" \" ship($1, \"vy\")")
    awk -v s="$3" '{ exit !(($5 - $3 - s * 0.15 * $1) ^ 2 + ($6 - $4 - s * 0.15 * $2) ^ 2 < 1e-4) }' <<<"$heading $change" ||
        e2e_fail "$2 changed ship $(($1 + 1))'s velocity from ($change) with its heading at ($heading)"
}

# flies SLOT FORWARD BACKWARD LEFT RIGHT FIRE
flies() {
    e2e_quiet "$1"
    xdotool keydown "$6"
    e2e_await 10 "ship($1, \"bullets\") > 0" "holding $6 fired none of ship $(($1 + 1))'s bullets"
    xdotool keyup "$6"
    turns "$1" "$4" -6
    turns "$1" "$5" 6
    thrusts "$1" "$2" 1
    thrusts "$1" "$3" -1
    e2e_log "ship $(($1 + 1)): $6 fires, $4 and $5 turn, $2 and $3 thrust"
}
flies 0 Up Down Left Right Return
flies 1 w s a d space
flies 2 "$KEYPAD_8" "$KEYPAD_5" "$KEYPAD_4" "$KEYPAD_6" "$KEYPAD_PLUS"

xdotool key Prior
e2e_await 10 'count == 4' "Page Up from three ships did not make four"
xdotool key Next
e2e_await 10 'count == 3' "Page Down from four ships did not leave three"
xdotool key F1
e2e_await 10 'ship(0, "autopilot") == 1' "F1 did not hand ship 1 to its autopilot"
xdotool key p
e2e_await 10 'paused == 1' "P did not pause the game"
xdotool key p
e2e_await 10 'paused == 0' "P again did not resume the game"
xdotool key p
e2e_await 10 'paused == 1' "P did not pause the game a second time"
e2e_log "Page Up, Page Down, F1 and P reach the game"

xdotool key Escape
e2e_wait_exit 10
((E2E_EXIT_STATUS == 0)) || e2e_fail "Escape while paused: exit status $E2E_EXIT_STATUS"
e2e_log "Escape while paused ends the game with status 0"
