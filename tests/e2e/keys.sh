#!/usr/bin/env bash
# The game keys on a real keyboard. Ship 1 (red) rests under the keys: Enter fires bullets
# from its nose along its heading, as read from its shape on the screen, and holding Up
# flies it along that heading. Ship 3 (blue), handed to the keypad by F3 with Num Lock on,
# fires with keypad + and flies forward on keypad 8 and backward on keypad 5. Page Up adds
# the fourth column, Page Down leaves no fewer than two. F1 hands ship 1 to its autopilot,
# which fires by itself, and F1 again gives it back to the keys. P pauses (the arena stands
# still) and resumes; Escape ends the game with status 0 even while paused.
#
# Nothing here assumes a ship keeps its place or heading: F4, F2 and F3 leave nobody to
# fire at ship 1 and ship 3, every heading is read from the screen, and a death seen in the
# judged ship's Deaths cell starts the whole scene again (a bounded number of times).
source "$(dirname "$0")/lib.sh"
e2e_init "$@"

readonly RED=FF0000 GREEN=00FF00 BLUE=0000FF DARK_YELLOW=C8C800
# Keypad keys by keycode: xdotool's KP_ names toggle Num Lock around the key.
readonly KEYPAD_8=80 KEYPAD_5=84 KEYPAD_PLUS=86
key_name() {
    case $1 in
    "$KEYPAD_8") echo "keypad 8" ;;
    "$KEYPAD_5") echo "keypad 5" ;;
    "$KEYPAD_PLUS") echo "keypad +" ;;
    *) echo "$1" ;;
    esac
}

# shoot COLOUR SLOT: a fresh screenshot of that ship; sets SHOT, STATE, SHIP ("N X Y"),
# SHIP_N, SHIP_X, SHIP_Y, SHIP_CLEAR and BULLETS (their count). While a Deaths cell is
# watched (watch_deaths), a change in it ends the scene: exit 3, and it starts again.
shoot() {
    SHOT=$(e2e_shot)
    STATE=$(ship_state "$SHOT" "$1" "$2")
    SHIP=$(awk '$1 == "ship" { print $2, $3, $4 }' <<<"$STATE")
    read -r SHIP_N SHIP_X SHIP_Y SHIP_CLEAR <<<"$(awk '$1 == "ship" { print $2, $3, $4, $5 }' <<<"$STATE")"
    BULLETS=$(grep -c '^bullet' <<<"$STATE" || true)
    [[ -z "$WATCHED" || "$WATCHED" != "$2" ]] || deaths_unchanged "$2" ||
        { e2e_log "ship $(($2 + 1))'s Deaths cell changed: it died, so the scene starts again"; exit 3; }
}

in_full_view() {
    ((SHIP_N >= IN_VIEW && SHIP_CLEAR == 1))
}

# The Deaths cell of the watched ship, read only while the ship itself is well away from it.
WATCHED=""
DEATHS_SEEN=""
deaths_cell() {
    grep '^death' <<<"$STATE" | sort | md5sum
}
ship_near_its_cell() {
    calc "exit !(($SHIP_N > 0) && ($SHIP_X - $(column_x "$1") - 12) ^ 2 + ($SHIP_Y - 38) ^ 2 < 50 ^ 2)"
}
deaths_unchanged() {
    ship_near_its_cell "$1" || [[ "$(deaths_cell)" == "$DEATHS_SEEN" ]]
}
# watch_deaths COLOUR SLOT: from now on a death of that ship ends the scene.
watch_deaths() {
    WATCHED=""
    local -r give_up=$((SECONDS + 20))
    until shoot "$1" "$2" && ! ship_near_its_cell "$2"; do
        ((SECONDS < give_up)) || { e2e_log "ship $(($2 + 1)) stays at its scoreboard column: starting again"; exit 3; }
    done
    DEATHS_SEEN=$(deaths_cell)
    WATCHED=$2
}


# --- A scene in which nothing fires at ship 1 ---------------------------------------------
# F4 gives the sentry to the keys (it stops firing), F2 and F3 ships 2 and 3. Ship 1 rests
# where it is until a key moves it, or drifts on if a death before the keys took over
# respawned it with some speed. It must rest below the scoreboard and clear of the
# power-ups drifting down the left edge from (10, 10) (a row at y >= 80 keeps it clear of
# both), with room to fly along its heading; elsewhere the game starts again.

RED_AT_REST=""
red_rests() {
    local -r previous=$RED_AT_REST
    shoot "$RED" 0
    RED_AT_REST=$SHIP
    ((SHIP_N > 0 && BULLETS == 0)) && [[ "$SHIP" == "$previous" ]]
}

# shape_heading: the ship's heading read from its shape in STATE: the swept arrowhead,
# nose 7.07 pixels ahead of its centre and wing tips 15 pixels out at 150 and -145 degrees
# from the heading, is laid over the ship's pixels at every 2 degrees and the best fit
# wins. Sets SHAPE_X, SHAPE_Y (a unit vector), CENTRE_X, CENTRE_Y (the hull's centre, where
# bullets start) and SHAPE_FIT (the share of the outline found on the screen).
shape_heading() {
    local fit
    fit=$(awk -v cx="$SHIP_X" -v cy="$SHIP_Y" '
        function rnd(v) { return v < 0 ? -int(-v + 0.5) : int(v + 0.5) }
        function seg(x0, y0, x1, y1, k, steps, t, key) {
            steps = int(sqrt((x1 - x0) ^ 2 + (y1 - y0) ^ 2) * 2) + 1
            for (k = 0; k <= steps; ++k) {
                t = k / steps
                key = rnd(x0 + (x1 - x0) * t) " " rnd(y0 + (y1 - y0) * t)
                if (key in seen) continue
                seen[key] = 1; ++m
                split(key, q, " "); tx[m] = q[1]; ty[m] = q[2]; mx += q[1]; my += q[2]
            }
        }
        $1 == "pixel" { on[$2 " " $3] = 1 }
        END {
            pi = atan2(0, -1); best = -1
            for (a = 0; a < 360; a += 2) {
                split("", seen); m = 0; mx = 0; my = 0
                r = a * pi / 180; hx = 7.07 * cos(r); hy = 7.07 * sin(r)
                ax = -15 * cos(r - pi / 6); ay = -15 * sin(r - pi / 6)
                bx = 15 * cos(r - 145 * pi / 180); by = 15 * sin(r - 145 * pi / 180)
                seg(0, 0, hx, hy); seg(hx, hy, -hx, -hy)
                seg(hx, hy, ax, ay); seg(ax, ay, -hx, -hy)
                seg(hx, hy, bx, by); seg(bx, by, -hx, -hy)
                x0 = int(cx - mx / m); y0 = int(cy - my / m)
                for (i = -3; i <= 3; ++i) for (j = -3; j <= 3; ++j) {
                    hits = 0
                    for (k = 1; k <= m; ++k) if (((x0 + i + tx[k]) " " (y0 + j + ty[k])) in on) ++hits
                    if (hits / m > best) { best = hits / m; ba = a; bpx = x0 + i; bpy = y0 + j }
                }
            }
            r = ba * pi / 180
            printf "%.4f %.4f %.1f %.1f %.3f\n", cos(r), sin(r), bpx + 0.5, bpy + 0.5, best
        }' <<<"$STATE")
    read -r SHAPE_X SHAPE_Y CENTRE_X CENTRE_Y SHAPE_FIT <<<"$fit"
    calc "exit !($SHAPE_FIT >= 0.6)"
}

# room_ahead: the point 60 pixels along ship 1's heading is well inside the arena.
room_ahead() {
    calc "x = $CENTRE_X + 60 * $SHAPE_X; y = $CENTRE_Y + 60 * $SHAPE_Y; exit !(x >= 25 && x <= $E2E_CW - 25 && y >= 80 && y <= $E2E_CH - 25)"
}

start_scene() {
    local attempt started
    for attempt in 1 2 3 4 5 6; do
        e2e_start_game
        started=$(date +%s)
        xdotool key F4 F2 F3
        RED_AT_REST=""
        if e2e_wait_until 10 red_rests; then
            read -r RED_N RED_X RED_Y <<<"$RED_AT_REST"
            if in_full_view && calc "exit !($RED_Y >= 80)" && ! ship_near_its_cell 0 && shape_heading && room_ahead; then
                e2e_log "ship 1 rests at ($RED_X, $RED_Y), $RED_N pixels, centre ($CENTRE_X, $CENTRE_Y), heading ($SHAPE_X, $SHAPE_Y) fitting ${SHAPE_FIT} of its outline (start $attempt)"
                RED_HEAD_X=$SHAPE_X RED_HEAD_Y=$SHAPE_Y RED_CENTRE_X=$CENTRE_X RED_CENTRE_Y=$CENTRE_Y
                return
            fi
            e2e_log "ship 1 rests at ($RED_X, $RED_Y) with $RED_N pixels in view, heading (${SHAPE_X:-?}, ${SHAPE_Y:-?}) fitting ${SHAPE_FIT:-?}: no room; starting again"
        else
            e2e_log "ship 1 does not come to rest under the keys ($SHIP): starting again"
        fi
        e2e_stop_game
        # The game draws its places from the calendar second: a new second, a new place.
        e2e_wait_until 5 later_second "$started" || e2e_fail "the clock stands still"
    done
    e2e_fail "ship 1 never came to rest clear of the scoreboard with room ahead"
}

num_lock_on() {
    xset q | grep -q "Num Lock: *on"
}

# The checks of one scene; a death of the judged ship ends it with exit 3 (see shoot).
scene() {

# --- Enter fires along the heading ---------------------------------------------------------
# Every bullet out of its first 30 pixels flies along the heading from the hull's centre;
# a shot every other tick at 21 pixels a tick keeps one within 40 to 200 pixels ahead. A
# weapon that fires all round (picked up before the keys took over) sends none that far.
watch_deaths "$RED" 0
red_fired_ahead() {
    shoot "$RED" 0
    local verdict
    verdict=$(awk -v x0="$RED_CENTRE_X" -v y0="$RED_CENTRE_Y" -v hx="$RED_HEAD_X" -v hy="$RED_HEAD_Y" -v w="$E2E_CW" -v h="$E2E_CH" '
        function wrap(d, size) { d = d % size; if (d >= size / 2) d -= size; if (d < -size / 2) d += size; return d }
        $1 == "bullet" {
            dx = wrap($2 - x0, w); dy = wrap($3 - y0, h); d = sqrt(dx * dx + dy * dy)
            along = dx * hx + dy * hy; across = dx * hy - dy * hx; if (across < 0) across = -across
            if (d >= 30 && (along <= 0 || across > 4 + 0.1 * d)) stray = "stray bullet at " $2 "," $3
            if (along >= 40 && along <= 200 && !(across > 4 + 0.1 * d)) ahead = 1
        }
        END { print stray ? stray : ahead ? "ahead" : "none" }' <<<"$STATE")
    [[ "$verdict" != stray* ]] || e2e_fail "Enter: $verdict, ship 1 centred at ($RED_CENTRE_X, $RED_CENTRE_Y) heading ($RED_HEAD_X, $RED_HEAD_Y)"
    if ((BULLETS > 0)); then
        FIRST_BULLETS=${FIRST_BULLETS:-$SECONDS}
    fi
    RED_FIRED=$verdict
    [[ "$verdict" == ahead ]] || { [[ -n "$FIRST_BULLETS" ]] && ((SECONDS > FIRST_BULLETS + 3)); }
}
FIRST_BULLETS=""
xdotool keydown Return
e2e_wait_until 10 red_fired_ahead || e2e_fail "holding Enter fired no bullet from ship 1 at ($RED_X, $RED_Y)"
xdotool keyup Return
# Firing leaves the ship where it was; its bullets fly out of their life.
# The hull is judged, since the marks of a boost or invulnerability may go meanwhile.
red_back_at_rest() {
    shoot "$RED" 0
    ((BULLETS == 0)) && in_full_view && shape_heading &&
        calc "exit !(($CENTRE_X - $RED_CENTRE_X) ^ 2 + ($CENTRE_Y - $RED_CENTRE_Y) ^ 2 <= 2 && $SHAPE_X * $RED_HEAD_X + $SHAPE_Y * $RED_HEAD_Y >= 0.999)"
}
e2e_wait_until 10 red_back_at_rest || e2e_fail "after Enter ship 1 is at $SHIP with $BULLETS bullets, centre ($CENTRE_X, $CENTRE_Y), heading ($SHAPE_X, $SHAPE_Y), not at rest at ($RED_CENTRE_X, $RED_CENTRE_Y)"
if [[ "$RED_FIRED" == ahead ]]; then
    e2e_log "Enter fires ship 1's bullets along its heading"
else
    e2e_log "Enter fires ship 1's bullets (a weapon that fires all round)"
fi

# --- Up flies ship 1 along its heading -----------------------------------------------------
# From rest the ship only ever gains speed along its heading: step by step its centroid
# goes ahead and stays on the line. A shot where something hides part of the ship, or
# where it is not clear of the edges and the scoreboard, is left out.
FLOWN_ALONG=0
FLOWN_ACROSS=0
LAST_X=$RED_X
LAST_Y=$RED_Y
red_flew_ahead() {
    shoot "$RED" 0
    in_full_view || return 1
    local dx dy
    read -r dx dy <<<"$(wrapped_step "$LAST_X" "$LAST_Y" "$SHIP_X" "$SHIP_Y")"
    LAST_X=$SHIP_X LAST_Y=$SHIP_Y
    read -r FLOWN_ALONG FLOWN_ACROSS <<<"$(calc "printf \"%.3f %.3f\", $FLOWN_ALONG + $dx * $RED_HEAD_X + $dy * $RED_HEAD_Y, $FLOWN_ACROSS + $dx * $RED_HEAD_Y - $dy * $RED_HEAD_X")"
    calc "a = $FLOWN_ACROSS; if (a < 0) a = -a; exit !($dx * $RED_HEAD_X + $dy * $RED_HEAD_Y >= -3 && a <= 4 + 0.1 * $FLOWN_ALONG)" ||
        e2e_fail "holding Up moved ship 1 by ($dx, $dy), $FLOWN_ALONG along its heading ($RED_HEAD_X, $RED_HEAD_Y) and $FLOWN_ACROSS across it in all"
    calc "exit !($FLOWN_ALONG >= 40)"
}
xdotool keydown Up
e2e_wait_until 10 red_flew_ahead || e2e_fail "holding Up moved ship 1 only $FLOWN_ALONG along its heading, $FLOWN_ACROSS across"
xdotool keyup Up
e2e_log "Up flies ship 1 along its heading: $FLOWN_ALONG ahead, $FLOWN_ACROSS across"

# --- A ship under the keys: it fires only on its key, flies along its heading -------------

no_bullets() {
    shoot "$1" "$2"
    ((BULLETS == 0))
}

has_bullets() {
    shoot "$1" "$2"
    ((BULLETS > 0))
}

# is_quiet COLOUR SLOT: waits until the ship's bullets are gone, then sees none for over a
# second. A ship on the keys never fires by itself; one on autopilot keeps firing.
is_quiet() {
    e2e_wait_until 10 no_bullets "$1" "$2" || return 1
    local -r until=$((SECONDS + 2))
    while ((SECONDS < until)); do
        no_bullets "$1" "$2" || return 1
    done
}

# heading_from_bullets: the ship's heading from its bullets in STATE. A bullet flies at
# three headings a tick plus the ship's velocity, so away from a ship that does not thrust
# it lies along the heading. Only bullets 40 pixels out count: the weapons that fire all
# round never send one that far. Sets HEAD_X and HEAD_Y (a unit vector) and HEAD_SEEN
# (the ship and the bullets it came from).
heading_from_bullets() {
    in_full_view || return 1
    local heading
    heading=$(awk -v x0="$SHIP_X" -v y0="$SHIP_Y" -v w="$E2E_CW" -v h="$E2E_CH" '
        function wrap(d, size) { d = d % size; if (d >= size / 2) d -= size; if (d < -size / 2) d += size; return d }
        $1 == "bullet" {
            dx = wrap($2 - x0, w); dy = wrap($3 - y0, h); d = sqrt(dx * dx + dy * dy)
            if (d >= 40 && d <= 200) { sx += dx / d; sy += dy / d; ++n }
        }
        END {
            d = sqrt(sx * sx + sy * sy)
            if (n && d >= 0.95 * n) printf "%.4f %.4f\n", sx / d, sy / d
        }' <<<"$STATE")
    [[ -n "$heading" ]] || return 1
    read -r HEAD_X HEAD_Y <<<"$heading"
    HEAD_SEEN=$(tr '\n' ' ' <<<"$STATE")
}

# fire_for_heading NAME COLOUR SLOT KEY: holds KEY until the ship's bullets show its
# heading (sets HEADING=yes, HEAD_X, HEAD_Y). A ship that picked up a weapon firing all
# round shows bullets but no heading (HEADING=no).
fire_for_heading() {
    local -r name=$1 colour=$2 slot=$3 key=$4
    local first_bullets=""
    local -r give_up=$((SECONDS + 10))
    HEADING=no
    xdotool keydown "$key"
    while ((SECONDS < give_up)); do
        shoot "$colour" "$slot"
        if heading_from_bullets; then
            HEADING=yes
            break
        fi
        if ((BULLETS > 0)); then
            first_bullets=${first_bullets:-$SECONDS}
            ((SECONDS < first_bullets + 3)) || break
        fi
    done
    xdotool keyup "$key"
    [[ -n "$first_bullets" || "$HEADING" == yes ]] || e2e_fail "holding $(key_name "$key") fired none of $name's bullets"
}

# frozen_shoot COLOUR SLOT: shoot, once the game stands paused: two shots in a row show
# the same arena (a running game turns its power-ups every tick).
client_sum() {
    /usr/bin/convert "$1" -crop "${E2E_CW}x${E2E_CH}+${E2E_CX}+${E2E_CY}" +repage -depth 8 rgb:- | md5sum
}
frozen_shoot() {
    local -r before=$(client_sum "$(e2e_shot)")
    shoot "$1" "$2"
    [[ "$(client_sum "$SHOT")" == "$before" ]]
}

# pause_and_shoot COLOUR SLOT: P pauses the game; a shot of the frozen scene.
pause_and_shoot() {
    xdotool key p
    e2e_wait_until 10 frozen_shoot "$1" "$2" || e2e_fail "P did not pause the game"
}

# hold_and_fly KEY COLOUR SLOT: holds KEY for 60 ticks, by then at full speed along its
# thrust whatever its velocity before, and measures the direction of its flight with P: a
# shot of the paused scene, a few ticks of play, another shot of the paused scene (the
# timer, which the tick log counts, runs on while paused). A pair of shots
# that does not see the ship in full view twice is taken again after some more ticks. Sets
# STEP_X, STEP_Y to the ship's displacement between the two shots.
hold_and_fly() {
    local -r key=$1 colour=$2 slot=$3
    local try x0 y0
    xdotool keydown "$key"
    e2e_wait_ticks 60
    for try in 1 2 3 4 5 6 7 8 9 10; do
        pause_and_shoot "$colour" "$slot"
        if in_full_view; then
            x0=$SHIP_X y0=$SHIP_Y
            xdotool key p
            e2e_wait_ticks 3
            pause_and_shoot "$colour" "$slot"
            if in_full_view; then
                read -r STEP_X STEP_Y <<<"$(wrapped_step "$x0" "$y0" "$SHIP_X" "$SHIP_Y")"
                xdotool keyup "$key"
                xdotool key p
                return
            fi
        fi
        xdotool key p
        e2e_wait_ticks 10
    done
    xdotool keyup "$key"
    e2e_fail "holding $(key_name "$key") never showed the $colour ship in full view twice"
}

cosine() {
    calc "printf \"%.3f\", ($1 * $3 + $2 * $4) / sqrt(($1 * $1 + $2 * $2) * ($3 * $3 + $4 * $4))"
}

# shape_in_view COLOUR SLOT: a shot with the ship in full view and its heading read from
# its shape (shape_heading).
shape_in_view() {
    shoot "$1" "$2"
    in_full_view && shape_heading
}

# flies_by_keys NAME COLOUR SLOT FIRE FORWARD BACKWARD: the ship's heading is read from its
# shape; the fire key launches bullets along it; the forward key flies the ship along it,
# the backward key against it. A death of the ship meanwhile starts the scene again.
flies_by_keys() {
    local -r name=$1 colour=$2 slot=$3
    local -r fire=$(key_name "$4") forward=$(key_name "$5") backward=$(key_name "$6")
    watch_deaths "$colour" "$slot"
    if ! e2e_wait_until 20 shape_in_view "$colour" "$slot"; then
        e2e_log "$name stays out of full view (at $SHIP, clear $SHIP_CLEAR): starting again"
        exit 3
    fi
    local -r shape_x=$SHAPE_X shape_y=$SHAPE_Y shape_seen="$SHIP fitting $SHAPE_FIT"
    # Bullets from a moving ship show its heading only for some weapons (a spread inherits
    # half the ship's velocity, a ring none), so the shape is the heading judged against.
    fire_for_heading "$name" "$colour" "$slot" "$4"
    HEAD_X=$shape_x HEAD_Y=$shape_y HEAD_SEEN="its shape at $shape_seen"
    hold_and_fly "$5" "$colour" "$slot"
    local -r forward_x=$STEP_X forward_y=$STEP_Y
    hold_and_fly "$6" "$colour" "$slot"
    local -r backward_x=$STEP_X backward_y=$STEP_Y
    calc "exit !($(cosine "$forward_x" "$forward_y" "$backward_x" "$backward_y") <= -0.8)" ||
        e2e_fail "$name: $forward flew it by ($forward_x, $forward_y), $backward by ($backward_x, $backward_y): not opposite"
    calc "exit !($(cosine "$forward_x" "$forward_y" "$HEAD_X" "$HEAD_Y") >= 0.8)" ||
        e2e_fail "$name: $forward flew it by ($forward_x, $forward_y), not along its heading ($HEAD_X, $HEAD_Y) from $HEAD_SEEN"
    e2e_log "$name: $fire fires; $forward flies along the heading ($HEAD_X, $HEAD_Y) read from its shape, $backward against it"
}

# --- Ship 3 on the keypad, Num Lock on -----------------------------------------------------
is_quiet "$BLUE" 2 || e2e_fail "after F3 ship 3 still fires by itself"
flies_by_keys "ship 3" "$BLUE" 2 "$KEYPAD_PLUS" "$KEYPAD_8" "$KEYPAD_5"

# --- Page Up and Page Down: between two and six ships --------------------------------------
column_shows() {
    e2e_client_has "$E2E_SHOT" "$(column_x "$1")" 10 12 16 "$2" && e2e_client_has "$E2E_SHOT" "$(column_x "$1")" 30 12 16 "$2"
}
column_gone() {
    ! e2e_client_has "$E2E_SHOT" "$(column_x "$1")" 10 30 40 "$2"
}
four_columns() {
    E2E_SHOT=$(e2e_shot)
    column_shows 2 "$BLUE" && column_shows 3 "$DARK_YELLOW"
}
two_columns() {
    E2E_SHOT=$(e2e_shot)
    column_shows 0 "$RED" && column_shows 1 "$GREEN" && column_gone 2 "$BLUE" && column_gone 3 "$DARK_YELLOW"
}
three_columns() {
    E2E_SHOT=$(e2e_shot)
    column_shows 1 "$GREEN" && column_shows 2 "$BLUE" && column_gone 3 "$DARK_YELLOW"
}
xdotool key Prior
e2e_wait_until 10 four_columns || e2e_fail "Page Up from three ships showed no fourth column in dark yellow at x = 190"
xdotool key Next Next
e2e_wait_until 10 two_columns || e2e_fail "Page Down twice from four ships did not leave two columns"
# One Page Down too many keeps two ships: the Page Up after it brings back the third.
xdotool key Next Prior
e2e_wait_until 10 three_columns || e2e_fail "Page Down at two ships went below two"
xdotool key Next
e2e_wait_until 10 two_columns || e2e_fail "Page Down from three ships did not leave two columns"
e2e_log "Page Up and Page Down keep two to six ships"

# --- F1: ship 1 to its autopilot and back --------------------------------------------------
xdotool key F1
e2e_wait_until 10 has_bullets "$RED" 0 || e2e_fail "after F1 ship 1 did not fire by itself"
xdotool key F1
is_quiet "$RED" 0 || e2e_fail "after F1 again ship 1 still fires by itself"
flies_by_keys "ship 1" "$RED" 0 Return Up Down

# --- P pauses and resumes ------------------------------------------------------------------
# Ship 1 drifts at full speed, so a running arena changes from tick to tick.
arena_sum() {
    /usr/bin/convert "$(e2e_shot)" -crop "${E2E_CW}x${E2E_CH}+${E2E_CX}+${E2E_CY}" +repage -depth 8 rgb:- | md5sum
}
# The arena stands still for over a second.
stands_still() {
    local -r first=$(arena_sum) until=$((SECONDS + 2))
    while ((SECONDS < until)); do
        [[ "$(arena_sum)" == "$first" ]] || return 1
    done
}
xdotool key p
e2e_wait_until 15 stands_still || e2e_fail "P did not pause the game"
paused=$(arena_sum)
runs_again() {
    [[ "$(arena_sum)" != "$paused" ]]
}
xdotool key p
e2e_wait_until 10 runs_again || e2e_fail "P again did not resume the game"
e2e_log "P pauses and resumes"

# --- Escape while paused -------------------------------------------------------------------
xdotool key p
e2e_wait_until 15 stands_still || e2e_fail "P did not pause the game a second time"
xdotool key Escape
}

# Restarts of the scene after a death, or a ship kept out of view, are bounded.
readonly HELD_KEYS=(Return Up Down "$KEYPAD_8" "$KEYPAD_5" "$KEYPAD_PLUS")
for run in 1 2 3 4 5; do
    start_scene
    num_lock_on || xdotool key Num_Lock
    e2e_wait_until 5 num_lock_on || e2e_fail "Num Lock did not go on"
    # The checks run in a subshell that a death ends with exit 3; any other status is theirs.
    set +e
    (
        set -e
        scene
    )
    status=$?
    set -e
    ((status == 3)) || break
    xdotool keyup "${HELD_KEYS[@]}"
    e2e_stop_game
done
((status != 3)) || e2e_fail "five scenes in a row were spoiled by a death"
((status == 0)) || exit "$status"
# The scene ended on Escape while paused; the game is this shell's child.
e2e_wait_exit 10
((E2E_EXIT_STATUS == 0)) || e2e_fail "Escape while paused: exit status $E2E_EXIT_STATUS"
e2e_log "Escape while paused ends the game with status 0"
