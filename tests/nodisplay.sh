#!/usr/bin/env bash
# Started with neither a display nor a Qt platform, the game prints one line that says so
# and what to do, and ends with status 1 instead of aborting. Given a platform, by
# QT_QPA_PLATFORM or by Qt's -platform option, it starts: its tick log fills.
# Usage: nodisplay.sh path/to/vexlor
source "$(dirname "$0")/e2e/lib.sh"
readonly BINARY=${1:?usage: $0 path/to/vexlor}
E2E_WORK=$(mktemp -d "${TMPDIR:-/tmp}/vexlor-nodisplay.XXXXXX")
trap e2e_cleanup EXIT
readonly NO_DISPLAY=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)

# No core file either way: an abort would show as status 134.
ulimit -c 0
status=0
"${NO_DISPLAY[@]}" "$BINARY" >"$E2E_WORK/out" 2>&1 || status=$?
out=$(cat "$E2E_WORK/out")
((status == 1)) || e2e_fail "with no display the exit status is $status, not 1: $out"
(($(wc -l <"$E2E_WORK/out") == 1)) || e2e_fail "with no display the output is not one line: $out"
grep -q "no display" <<<"$out" && grep -q DISPLAY <<<"$out" && grep -q WAYLAND_DISPLAY <<<"$out" &&
    grep -q "desktop session" <<<"$out" || e2e_fail "the line does not say what to do: $out"
e2e_log "no display: status 1, $out"

# An empty DISPLAY is no display.
status=0
env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY= "$BINARY" >"$E2E_WORK/out" 2>&1 || status=$?
((status == 1)) && grep -q "no display" "$E2E_WORK/out" ||
    e2e_fail "with an empty DISPLAY: status $status, $(cat "$E2E_WORK/out")"

ticking() { [[ -s "$E2E_WORK/ticks" ]] && (($(wc -l <"$E2E_WORK/ticks") >= 3)) || ! e2e_game_running; }
# started HOW COMMAND...: runs the game until its tick log shows ticks, then ends it.
started() {
    local -r how=$1
    shift
    rm -f "$E2E_WORK/ticks"
    VEXLOR_TICK_LOG="$E2E_WORK/ticks" "$@" >"$E2E_WORK/out" 2>&1 &
    E2E_GAME_PID=$!
    e2e_wait_until 30 ticking || e2e_fail "$how: no ticks in 30 s"
    e2e_game_running || e2e_fail "$how: the game ended: $(cat "$E2E_WORK/out")"
    e2e_end "$E2E_GAME_PID"
    E2E_GAME_PID=""
    ! grep -q "no display" "$E2E_WORK/out" || e2e_fail "$how: the no-display line was printed"
    e2e_log "$how: the game runs"
}
started "QT_QPA_PLATFORM=offscreen" "${NO_DISPLAY[@]}" QT_QPA_PLATFORM=offscreen "$BINARY"
started "-platform offscreen" "${NO_DISPLAY[@]}" "$BINARY" -platform offscreen
