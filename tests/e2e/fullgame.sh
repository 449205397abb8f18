#!/usr/bin/env bash
# A whole game on autopilot, judged from the game's state log: F1 hands ship 1 to its
# autopilot and Page Up fills all six slots (a fifth Page Up, one too many, leaves six).
# Within a minute of play the ships score and die, the sentry scores, a kill drops a
# power-up (the four of the start take every slot for their first 250 ticks), and
# the game stays up and ends with status 0 on the menu's Game, Exit.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_start_game

xdotool key F1 Prior Prior Prior Prior
e2e_await 10 'count == 6 && ship(0, "autopilot") == 1' "F1 and Page Up did not bring six ships on autopilot into play"

# Ship deaths, ship scores, the sentry's score and a drop, each seen on some line.
seen() {
    local -r conditions=(
        'ship(0, "deaths") + ship(1, "deaths") + ship(2, "deaths") + ship(3, "deaths") + ship(4, "deaths") + ship(5, "deaths") > 0'
        'ship(0, "score") + ship(1, "score") + ship(2, "score") + ship(3, "score") + ship(4, "score") + ship(5, "score") > 0'
        '$6 != 0'
        'dropped')
    local condition
    for condition in "${conditions[@]}"; do
        e2e_state_since 0 "$condition" || return 1
    done
}
e2e_wait_until 60 seen || e2e_fail "in a minute of play not every one of deaths, scores, the sentry's score and a drop showed: $(tail -n1 "$E2E_WORK/state")"
e2e_log "ships died and scored, the sentry scored and a power-up dropped within $(e2e_state_value tick) ticks"

e2e_game_running || e2e_fail "the game ended during play"
e2e_open_menu alt+g
xdotool key x
e2e_wait_exit 10
((E2E_EXIT_STATUS == 0)) || e2e_fail "exit status $E2E_EXIT_STATUS"
e2e_log "Game, Exit ends the game with status 0"
