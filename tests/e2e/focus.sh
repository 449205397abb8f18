#!/usr/bin/env bash
# The keyboard goes away and comes back while ship 1 (red) fires and thrusts, and its keys
# (Enter and Up) are released while the game does not have the keyboard. Once they are up
# the ship stops firing (no bullet of its own for two seconds) and stops accelerating (it
# stays at rest).
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

readonly RED=FF0000
# X keycodes of Enter and Up, released by the other client as the player lets go.
readonly KEYCODE_RETURN=36 KEYCODE_UP=111

# shoot: a fresh screenshot of ship 1; sets SHIP ("N X Y"), SHIP_N, SHIP_X, SHIP_Y, BULLETS
# and DEATHS (a digest of its Deaths cell).
shoot() {
    local -r file=$(e2e_shot)
    local -r state=$(ship_state "$file" "$RED" 0)
    rm -f "$file"
    SHIP=$(awk '$1 == "ship" { print $2, $3, $4 }' <<<"$state")
    read -r SHIP_N SHIP_X SHIP_Y <<<"$SHIP"
    BULLETS=$(grep -c '^bullet' <<<"$state" || true)
    DEATHS=$(grep '^death' <<<"$state" | sort | md5sum)
}

# --- A scene in which nothing fires at ship 1 and it rests ---------------------------------
# F4 gives the sentry to the keys (it stops firing), F2 and F3 ships 2 and 3. Ship 1 rests
# where it is until a key moves it; it must be in full view below the scoreboard and clear
# of the power-ups drifting down the left edge, else the game starts again.
RED_AT_REST=""
red_rests() {
    local -r previous=$RED_AT_REST
    shoot
    RED_AT_REST=$SHIP
    ((SHIP_N > 0 && BULLETS == 0)) && [[ "$SHIP" == "$previous" ]]
}

start_scene() {
    local attempt started n y
    for attempt in 1 2 3 4 5; do
        [[ -z "$E2E_GAME_PID" ]] || e2e_stop_game
        e2e_start_game
        started=$(date +%s)
        xdotool key F4 F2 F3
        RED_AT_REST=""
        if e2e_wait_until 10 red_rests; then
            read -r n _ y <<<"$RED_AT_REST"
            if ((n >= IN_VIEW)) && calc "exit !($y >= 80)"; then
                return
            fi
            e2e_log "ship 1 starts at $RED_AT_REST; starting again"
        else
            e2e_log "ship 1 does not rest under the keys: $SHIP; starting again"
        fi
        # The game draws its places from the calendar second: a new second, a new place.
        e2e_stop_game
        e2e_wait_until 5 later_second "$started" || e2e_fail "the clock stands still"
    done
    e2e_fail "ship 1 never started clear of the scoreboard"
}

has_bullets() {
    shoot
    ((BULLETS > 0))
}

no_bullets() {
    shoot
    ((BULLETS == 0))
}

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
    find_dialog() {
        e2e_game_running || e2e_fail "the game ended"
        DIALOG=$(e2e_windows_named General | head -n1 || true)
        [[ -n "$DIALOG" ]] && focus_is "$DIALOG"
    }
    e2e_wait_until 10 find_dialog || e2e_fail "the General dialog did not open with the focus"
    xdotool keyup Up Return
    xdotool key Return
    dialog_gone() { ! e2e_windows_named General | grep -qx "$DIALOG"; }
    e2e_wait_until 10 dialog_gone || e2e_fail "Enter did not close the dialog"
    e2e_wait_until 5 focus_is "$E2E_WID" || e2e_fail "the focus did not come back after the dialog"
}

minimised() {
    ! xdotool search --onlyvisible --name '^Vexlor$' 2>/dev/null | grep -qx "$E2E_WID"
}

through_minimise() {
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

wm_running() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# --- The judgement ----------------------------------------------------------------------------
# The keys go down and away while the game is paused (P), so that the ship has not moved when
# the game runs again: a ship whose Up is still held then flies off, one whose Up is up stays
# where it rests for over two seconds. Its bullets of before fly on and out of their life; a
# ship whose Enter is still held keeps firing.

arena_sum() {
    /usr/bin/convert "$(e2e_shot)" -crop "${E2E_CW}x${E2E_CH}+${E2E_CX}+${E2E_CY}" +repage -depth 8 rgb:- | md5sum
}

# The arena stands still between two shots a quarter second apart, and ship 1 with it.
stands_still() {
    local -r first=$(arena_sum)
    sleep 0.25
    [[ "$(arena_sum)" == "$first" ]]
}

runs_again() {
    [[ "$(arena_sum)" != "$PAUSED" ]]
}

# A shot where something else covers much of the ship is left out; in the others, what covers
# the rest can shift its centroid by a few pixels. Held Up flies it at 5 pixels a tick, some
# 15 pixels within the first 5 ticks and hundreds within the 3 seconds watched. A ship that
# dies meanwhile (its Deaths cell changes) or stays hidden spoils the trial (SPOILED says why).
judge_thrust() {
    local -r until=$((SECONDS + 3)) deaths=$DEATHS
    local seen=0 rest_x rest_y dx dy moved
    local -a moves=()
    read -r _ rest_x rest_y <<<"$RED_AT_REST"
    while ((SECONDS < until)); do
        shoot
        [[ "$DEATHS" == "$deaths" ]] || { SPOILED="its Deaths cell changed"; return; }
        ((SHIP_N >= IN_VIEW)) || continue
        read -r dx dy <<<"$(wrapped_step "$rest_x" "$rest_y" "$SHIP_X" "$SHIP_Y")"
        moved=$(calc "printf \"%.3f\", sqrt($dx * $dx + $dy * $dy)")
        moves+=("$moved")
        calc "exit !($moved <= 15)" ||
            e2e_fail "$WHAT: ship 1 moved from its rest at $RED_AT_REST by ${moves[*]} pixels in the shots after the game ran again: Up is still held"
        seen=$((seen + 1))
    done
    ((seen >= 2)) || SPOILED="it was in full view in only $seen shots"
    MOVES=${moves[*]}
}

judge_fire() {
    e2e_wait_until 10 no_bullets || e2e_fail "$WHAT: ship 1 still fires 10 s after Enter went up"
    local -r until=$((SECONDS + 2))
    local seen=0
    while ((SECONDS < until)); do
        shoot
        ((BULLETS == 0)) || e2e_fail "$WHAT: ship 1 fired again $seen shots after its bullets were gone"
        seen=$((seen + 1))
    done
}

trial() {
    start_scene
    xdotool keydown Return
    e2e_wait_until 10 has_bullets || e2e_fail "$WHAT: holding Enter fired no bullet"
    xdotool key p
    e2e_wait_until 10 stands_still || e2e_fail "$WHAT: P did not pause the game"
    PAUSED=$(arena_sum)
    xdotool keydown Up
    case "$WAY" in
    away) go_away "$1" ;;
    grab) grab_keyboard "$1" ;;
    dialog) through_dialog ;;
    minimise) through_minimise ;;
    esac
    xdotool key p
    e2e_wait_until 10 runs_again || e2e_fail "$WHAT: P again did not resume the game"
    SPOILED=""
    judge_thrust
    [[ -z "$SPOILED" ]] || return 0
    judge_fire
    e2e_log "$WHAT: ship 1 stays at rest (off by $MOVES pixels) and no longer fires"
}

case "$WAY" in
away | grab | dialog) ;;
minimise)
    # Without the animation, a restored window is whole at once.
    cat >"$E2E_WORK/openbox.xml" <<'XML'
<openbox_config xmlns="http://openbox.org/3.4/rc"><theme><animateIconify>no</animateIconify></theme></openbox_config>
XML
    openbox --sm-disable --config-file "$E2E_WORK/openbox.xml" >"$E2E_WORK/openbox.log" 2>&1 &
    e2e_wait_until 10 wm_running || e2e_fail "openbox did not start: $(cat "$E2E_WORK/openbox.log")"
    ;;
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
