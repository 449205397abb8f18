#!/usr/bin/env bash
# A whole game on autopilot: F1 hands ship 1 to its autopilot and Page Up fills all six
# slots (a fifth Page Up, one too many, leaves six and the game running). Within about
# twenty seconds of play (a minute at most: ships die when the game's dice say so) the
# scoreboard's numbers change, power-ups (lines in colours of
# no ship, of neither white nor debris) show, ships die and leave debris (five-pixel X
# marks in 0x966400), power-ups drop away from the left edge where the first four drift,
# and the game stays up and ends with status 0 on Escape.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_start_game

readonly SHIP_COLOURS="FF0000 00FF00 0000FF C8C800 00C8C8 C800C8"

xdotool key F1 Prior Prior Prior Prior
six_columns() {
    E2E_SHOT=$(e2e_shot)
    local slot=0 colour
    for colour in $SHIP_COLOURS; do
        e2e_client_has "$E2E_SHOT" $((100 + 30 * slot)) 10 12 16 "$colour" || return 1
        e2e_client_has "$E2E_SHOT" $((100 + 30 * slot)) 30 12 16 "$colour" || return 1
        slot=$((slot + 1))
    done
}
e2e_wait_until 10 six_columns || e2e_fail "Page Up did not bring six ships into play"

# One screenshot read at once: a line "cell ..." for the first character of each number on
# the scoreboard (the six ships' columns and the sentry's, both rows), each pixel g (the
# column's colour), b (black) or ? (something drawn over it, such as a power-up); then
# "powerup N D", the pixels in no colour of the game and those of them away from the path
# of the first four power-ups (from (10, 10) down to (10, 60), arms of 7.5 pixels), and
# "debris N X": the debris pixels and the X marks among them.
readonly ANALYSIS='
    function colour_at(x, y, k) { k = x " " y; return (k in at) ? at[k] : "000000" }
    function debris_at(x, y) { return colour_at(x, y) == "966400" }
    BEGIN {
        n = split(ships " FFFFFF", column_colour, " ")
        for (i = 1; i <= n; ++i) { column_x[i] = i < n ? 100 + 30 * (i - 1) : 300; known[column_colour[i]] = 1 }
        known["966400"] = 1   # debris
        known["C8C832"] = 1   # the spark of a hit
    }
    { at[$1 " " $2] = $3 }
    END {
        for (i = 1; i <= n; ++i) {
            for (row = 10; row <= 30; row += 20) {
                cell = ""
                for (y = row + 2; y < row + 14; ++y) {
                    for (x = column_x[i]; x < column_x[i] + 8; ++x) {
                        c = colour_at(x, y)
                        cell = cell (c == column_colour[i] ? "g" : c == "000000" ? "b" : "?")
                    }
                }
                printf "cell %s\n", cell
            }
        }
        for (k in at) {
            split(k, p, " "); x = p[1] + 0; y = p[2] + 0
            # The outermost pixels are left out, in case the client area found is one too wide.
            if (!(at[k] in known) && x > 0 && y > 0 && x < w - 1 && y < h - 1) {
                ++powerup
                if (x >= 30 || y >= 80) ++dropped
            }
            if (at[k] != "966400") continue
            ++debris
            if (debris_at(x + 1, y + 1) && debris_at(x + 1, y - 1) && debris_at(x - 1, y - 1) && debris_at(x - 1, y + 1))
                ++marks
        }
        printf "powerup %d %d\ndebris %d %d\n", powerup, dropped, debris, marks
    }'
analyse() {
    e2e_client_pixels "$1" | awk -v ships="$SHIP_COLOURS" -v w="$E2E_CW" -v h="$E2E_CH" "$ANALYSIS"
}

# Cells differ where both show the number's colour or black and they disagree; a change of
# number changes many pixels of its first character.
cells_differ() {
    awk 'NR == FNR { first[FNR] = $2; next }
        {
            for (i = 1; i <= length($2); ++i) {
                a = substr(first[FNR], i, 1); b = substr($2, i, 1)
                if (a != "?" && b != "?" && a != b) ++changed
            }
        }
        END { exit !(changed >= 4) }' <(grep '^cell' <<<"$1") <(grep '^cell' <<<"$2")
}

first=$(analyse "$E2E_SHOT")
scores_changed="" powerups="" dropped="" debris=""
start=$SECONDS
# Screenshots back to back: an explosion's debris lives under a second.
play_deadline=$((SECONDS + 60))
while ((SECONDS < play_deadline)) && [[ -z "$scores_changed" || -z "$powerups" || -z "$dropped" || -z "$debris" ]]; do
    e2e_game_running || e2e_fail "the game ended during play"
    now=$(analyse "$(e2e_shot)")
    if [[ -z "$scores_changed" ]] && cells_differ "$first" "$now"; then
        scores_changed=$((SECONDS - start))
    fi
    read -r _ count away <<<"$(grep '^powerup' <<<"$now")"
    if [[ -z "$powerups" ]] && ((count >= 3)); then
        powerups=$((SECONDS - start))
    fi
    if [[ -z "$dropped" ]] && ((away >= 3)); then
        dropped=$((SECONDS - start))
    fi
    read -r _ count marks <<<"$(grep '^debris' <<<"$now")"
    if [[ -z "$debris" ]] && ((count >= 5 && marks >= 1)); then
        debris=$((SECONDS - start))
    fi
done
[[ -n "$scores_changed" ]] || e2e_fail "the scoreboard's numbers did not change in 60 s of play"
[[ -n "$powerups" ]] || e2e_fail "no power-up showed in 60 s of play"
[[ -n "$debris" ]] || e2e_fail "no debris showed in 60 s of play"
[[ -n "$dropped" ]] || e2e_fail "no power-up dropped away from the first four's path in 60 s of play"
e2e_log "seen after about: scores change ${scores_changed} s, power-ups ${powerups} s, debris ${debris} s, power-ups dropped ${dropped} s"

e2e_game_running || e2e_fail "the game ended during play"
xdotool key Escape
e2e_wait_exit 10
((E2E_EXIT_STATUS == 0)) || e2e_fail "exit status $E2E_EXIT_STATUS"
e2e_log "Escape ends the game with status 0"
