#!/usr/bin/env bash
# Replays: a session the real program records while the test plays it plays back with the
# same hash every 100 ticks with no window, natively and in the browser build under node;
# a short one plays back in the window to its end, every hash matching, and stays paused.
# Usage: replay.sh VEXLOR REPLAY_CHECK BROWSER_REPLAY_CHECK_JS [SECONDS]
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
readonly check=$2 browser_check=$3 play_seconds=${4:-120}

# play TICKS: holds and switches keys the way players do, paced by the game's ticks.
play() {
    local -r until=$(($(e2e_ticks) + $1))
    local -r moves=("Up Return" "Left" "Right Return" "Down" "w space" "a d" "j l")
    local -r switches=(F2 F4 Prior p p F1 Next F2 F4 F1)
    local i=0
    while (($(e2e_ticks) < until)); do
        e2e_game_running || e2e_fail "the game ended while recording"
        xdotool keydown ${moves[i % ${#moves[@]}]}
        e2e_wait_ticks 15
        xdotool keyup ${moves[i % ${#moves[@]}]}
        ((i % 4 == 3)) && xdotool key "${switches[i / 4 % ${#switches[@]}]}"
        i=$((i + 1))
    done
}

# record FILE TICKS: records a session of at least TICKS ticks, ended by Escape.
record() {
    e2e_start_game --record "$1"
    play "$2"
    xdotool key Escape
    e2e_wait_exit 10
    ((E2E_EXIT_STATUS == 0)) || e2e_fail "recording: exit status $E2E_EXIT_STATUS"
}

record "$E2E_WORK/long.vxr" $((play_seconds * 40))
"$check" "$E2E_WORK/long.vxr" >"$E2E_WORK/native" || e2e_fail "native playback: status $?: $(head -3 "$E2E_WORK/native")"
hashes=$(wc -l <"$E2E_WORK/native")
((hashes >= play_seconds * 40 / 100)) || e2e_fail "only $hashes hashes in $play_seconds s of play"
if [[ -f "$browser_check" ]]; then
    node "$browser_check" "$E2E_WORK/long.vxr" >"$E2E_WORK/browser" || e2e_fail "browser playback: status $?"
    diff -q "$E2E_WORK/native" "$E2E_WORK/browser" >/dev/null || e2e_fail "the browser build plays another game"
    e2e_log "$hashes recorded hashes matched natively and in the browser build ($(stat -c %s "$E2E_WORK/long.vxr") bytes)"
else
    e2e_log "$hashes recorded hashes matched natively (no browser build here)"
fi

# In the window: a short recording played to its end.
record "$E2E_WORK/short.vxr" 300
ticks=$(head -c 14 "$E2E_WORK/short.vxr" | tail -c 4 | od -An -tu4 | tr -d ' ')
e2e_start_game --replay "$E2E_WORK/short.vxr"
e2e_wait_until 60 grep -q "replay ended" "$E2E_WORK/game.log" || e2e_fail "the replay never ended"
grep -q "the replay ended after $ticks ticks; \([0-9]*\) of its \1 hashes matched" "$E2E_WORK/game.log" ||
    e2e_fail "the replay in the window went its own way"
! grep -q "no longer plays" "$E2E_WORK/game.log" || e2e_fail "the replay reported a difference"
e2e_game_running || e2e_fail "the game ended with its replay"
e2e_log "$ticks ticks played back in the window: $(grep 'replay ended' "$E2E_WORK/game.log")"
