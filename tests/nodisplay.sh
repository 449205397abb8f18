#!/usr/bin/env bash
# Started with neither a display nor a Qt platform, the game prints one line that says so
# and what to do, and ends with status 1 instead of aborting. Given a platform, by
# QT_QPA_PLATFORM or by Qt's -platform option, it starts: its tick log fills.
# Usage: nodisplay.sh path/to/vexlor
set -euo pipefail
readonly BINARY=${1:?usage: $0 path/to/vexlor}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/vexlor-nodisplay.XXXXXX")
GAME_PID=""
cleanup() {
    if [[ -n "$GAME_PID" ]]; then
        kill "$GAME_PID" 2>/dev/null || true
        wait "$GAME_PID" 2>/dev/null || true
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
readonly NO_DISPLAY=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)

# No core file either way: an abort would show as status 134.
ulimit -c 0
status=0
"${NO_DISPLAY[@]}" "$BINARY" >"$WORK/out" 2>&1 || status=$?
((status == 1)) || fail "with no display the exit status is $status, not 1: $(cat "$WORK/out")"
(($(wc -l <"$WORK/out") == 1)) || fail "with no display the output is not one line: $(cat "$WORK/out")"
grep -q "no display" "$WORK/out" && grep -q DISPLAY "$WORK/out" && grep -q WAYLAND_DISPLAY "$WORK/out" &&
    grep -q "desktop session" "$WORK/out" || fail "the line does not say what to do: $(cat "$WORK/out")"
echo "# no display: status 1, $(cat "$WORK/out")"

# An empty DISPLAY is no display.
status=0
env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY= "$BINARY" >"$WORK/out" 2>&1 || status=$?
((status == 1)) && grep -q "no display" "$WORK/out" || fail "with an empty DISPLAY: status $status, $(cat "$WORK/out")"

# started HOW COMMAND...: runs the game until its tick log shows ticks, then ends it.
started() {
    local -r how=$1
    shift
    rm -f "$WORK/ticks"
    VEXLOR_TICK_LOG="$WORK/ticks" "$@" >"$WORK/out" 2>&1 &
    GAME_PID=$!
    local -r deadline=$((SECONDS + 30))
    until [[ -s "$WORK/ticks" ]] && (($(wc -l <"$WORK/ticks") >= 3)); do
        kill -0 "$GAME_PID" 2>/dev/null || fail "$how: the game ended: $(cat "$WORK/out")"
        ((SECONDS < deadline)) || fail "$how: no ticks in 30 s"
        sleep 0.05
    done
    kill "$GAME_PID"
    wait "$GAME_PID" 2>/dev/null || true
    GAME_PID=""
    ! grep -q "no display" "$WORK/out" || fail "$how: the no-display line was printed"
    echo "# $how: the game runs"
}
started "QT_QPA_PLATFORM=offscreen" "${NO_DISPLAY[@]}" QT_QPA_PLATFORM=offscreen "$BINARY"
started "-platform offscreen" "${NO_DISPLAY[@]}" "$BINARY" -platform offscreen
