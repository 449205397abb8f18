# Shared helpers of the real-window tests: a private Xvfb, the real game binary,
# xdotool for input and ImageMagick for screenshots and pixels.
# A test script sources this file and calls e2e_init "$@" first; the first argument
# is the path of the vexlor binary. Everything started here is ended on exit.

set -euo pipefail

E2E_XVFB_PID=""
E2E_GAME_PID=""
E2E_WORK=""
E2E_WID=""
E2E_WM_PID=""
# More processes of a test's own, ended on exit before the display.
E2E_MORE_PIDS=()

e2e_cleanup() {
    local status=$?
    if [[ -n "$E2E_GAME_PID" ]] && kill -0 "$E2E_GAME_PID" 2>/dev/null; then
        kill "$E2E_GAME_PID" 2>/dev/null || true
        wait "$E2E_GAME_PID" 2>/dev/null || true
    fi
    for pid in "${E2E_MORE_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    if [[ -n "$E2E_WM_PID" ]]; then
        kill "$E2E_WM_PID" 2>/dev/null || true
        wait "$E2E_WM_PID" 2>/dev/null || true
    fi
    if [[ -n "$E2E_XVFB_PID" ]] && kill -0 "$E2E_XVFB_PID" 2>/dev/null; then
        kill "$E2E_XVFB_PID" 2>/dev/null || true
        wait "$E2E_XVFB_PID" 2>/dev/null || true
    fi
    if [[ -n "$E2E_WORK" ]]; then
        # Keep the screenshots of a failed run for a look.
        if ((status != 0)) && [[ -n "${E2E_KEEP_DIR:-}" ]]; then
            mkdir -p "$E2E_KEEP_DIR" && cp -r "$E2E_WORK"/. "$E2E_KEEP_DIR"/ || true
        fi
        rm -rf "$E2E_WORK"
    fi
    exit "$status"
}

e2e_fail() {
    echo "FAIL: $*" >&2
    if [[ -n "$E2E_WORK" && -s "$E2E_WORK/game.log" ]]; then
        echo "--- game output ---" >&2
        cat "$E2E_WORK/game.log" >&2
    fi
    exit 1
}

e2e_log() {
    echo "# $*"
}

# e2e_wait_until SECONDS COMMAND...: polls COMMAND until it succeeds; false at the deadline.
e2e_wait_until() {
    local -r seconds=$1
    shift
    local -r deadline=$((SECONDS + seconds))
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.05
    done
}

e2e_init() {
    E2E_BINARY=${1:?usage: $0 path/to/vexlor}
    [[ -x "$E2E_BINARY" ]] || e2e_fail "no executable at $E2E_BINARY"
    E2E_WORK=$(mktemp -d "${TMPDIR:-/tmp}/vexlor-e2e.XXXXXX")
    chmod 700 "$E2E_WORK"
    trap e2e_cleanup EXIT
    trap 'exit 129' HUP PIPE
    trap 'exit 130' INT TERM
    e2e_start_xvfb
}

# Xvfb picks a free display itself and writes its number once it accepts clients. The
# classic stippled root (-retro) makes any area a window leaves unpainted stand out.
# E2E_SCREEN gives another screen size than 1024x768.
e2e_start_xvfb() {
    local -r display_file="$E2E_WORK/display"
    Xvfb -displayfd 3 -screen 0 "${E2E_SCREEN:-1024x768}x24" -noreset -nolisten tcp -retro 3>"$display_file" \
        >"$E2E_WORK/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    e2e_wait_until 20 test -s "$display_file" || e2e_fail "Xvfb did not start: $(cat "$E2E_WORK/xvfb.log")"
    export DISPLAY=":$(head -n1 "$display_file")"
    unset WAYLAND_DISPLAY
    export QT_QPA_PLATFORM=xcb
    export XDG_RUNTIME_DIR="$E2E_WORK"
    e2e_wait_until 10 xset q >/dev/null 2>&1 || e2e_fail "display $DISPLAY does not answer"
}

# e2e_start_openbox: a window manager, for what is the window manager's to grant (full
# screen, minimising). Without the animation, a restored window is whole at once.
e2e_start_openbox() {
    command -v openbox >/dev/null || e2e_fail "openbox is not installed"
    cat >"$E2E_WORK/openbox.xml" <<'XML'
<openbox_config xmlns="http://openbox.org/3.4/rc"><theme><animateIconify>no</animateIconify></theme></openbox_config>
XML
    openbox --sm-disable --config-file "$E2E_WORK/openbox.xml" >"$E2E_WORK/openbox.log" 2>&1 &
    E2E_WM_PID=$!
    e2e_wait_until 20 eval 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' ||
        e2e_fail "openbox did not start: $(cat "$E2E_WORK/openbox.log")"
}

# e2e_ticks: the number of ticks the running game has made.
e2e_ticks() {
    wc -l <"$E2E_WORK/ticks"
}

# e2e_wait_ticks N: waits until the game has made N more ticks (a minute at most).
e2e_wait_ticks() {
    local -r until=$(($(e2e_ticks) + $1))
    e2e_wait_until 60 eval '(($(e2e_ticks) >= until))' || e2e_fail "the game made no $1 ticks in a minute"
}

e2e_game_running() {
    kill -0 "$E2E_GAME_PID" 2>/dev/null
}

# Prints the ids of the viewable windows whose name is exactly $1.
e2e_windows_named() {
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true
}

e2e_find_main_window() {
    e2e_game_running || e2e_fail "the game ended while starting"
    E2E_WID=$(e2e_windows_named Vexlor | head -n1)
    [[ -n "$E2E_WID" ]]
}

# Starts the game with these options, waits for its window, gives it the focus and puts
# the pointer on it.
e2e_start_game() {
    # The logs let a test count the game's ticks and read its state instead of guessing.
    : >"$E2E_WORK/ticks"
    : >"$E2E_WORK/state"
    VEXLOR_TICK_LOG="$E2E_WORK/ticks" VEXLOR_STATE_LOG="$E2E_WORK/state" "$E2E_BINARY" "$@" >"$E2E_WORK/game.log" 2>&1 &
    E2E_GAME_PID=$!
    e2e_wait_until 20 e2e_find_main_window || e2e_fail "no window named Vexlor appeared"
    xdotool windowfocus --sync "$E2E_WID"
    e2e_read_geometry
    xdotool mousemove --sync $((E2E_X + E2E_W / 2)) $((E2E_Y + E2E_H / 2))
    # The first frames are drawn once the client area is black.
    e2e_wait_until 10 e2e_find_client || e2e_fail "the arena was never drawn"
}

# E2E_X, E2E_Y, E2E_W, E2E_H: the main window on the root window.
e2e_read_geometry() {
    local X Y WIDTH HEIGHT WINDOW SCREEN
    eval "$(xdotool getwindowgeometry --shell "$E2E_WID")"
    E2E_X=$X E2E_Y=$Y E2E_W=$WIDTH E2E_H=$HEIGHT
}

# e2e_shot: takes a screenshot of the whole screen; prints its path. The names sort in
# the order the shots were taken, for a look at a failed run.
e2e_shot() {
    local -r file=$(mktemp --suffix=.png "$E2E_WORK/shot-$(date +%s%N)-XXXXXX")
    /usr/bin/import -window root "$file"
    echo "$file"
}

# e2e_pixels FILE X Y W H: the colours (RRGGBB) of a screen region, row by row, one a line.
e2e_pixels() {
    /usr/bin/convert "$1" -crop "$4x$5+$2+$3" +repage -depth 8 txt:- |
        awk 'NR > 1 { for (i = 1; i <= NF; ++i) if ($i ~ /^#[0-9A-Fa-f]/) { print toupper(substr($i, 2, 6)); break } }'
}

# e2e_region_colours FILE X Y W H: the distinct colours of a screen region, one a line.
e2e_region_colours() {
    e2e_pixels "$@" | sort -u
}

# e2e_region_has FILE X Y W H RRGGBB: true when any pixel of the region has that colour.
e2e_region_has() {
    e2e_region_colours "$1" "$2" "$3" "$4" "$5" | grep -qx "$6"
}

e2e_median() {
    sort -n | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)] }'
}

# Finds the arena's client area in a fresh screenshot: the black area of the window below
# its menu bar. Several scan lines, each from one side inwards to the first black pixel;
# the median ignores a line that meets a ship, a power-up or a menu text.
# Sets E2E_CX, E2E_CY (client origin on the screen), E2E_CW, E2E_CH and E2E_SHOT.
e2e_find_client() {
    e2e_read_geometry
    E2E_SHOT=$(e2e_shot)
    local top bottom left right f
    local -a tops=() bottoms=() lefts=() rights=()
    for f in 20 35 50 65 80; do
        local x=$((E2E_X + E2E_W * f / 100))
        local y=$((E2E_Y + E2E_H * f / 100))
        local column row
        column=$(e2e_pixels "$E2E_SHOT" "$x" "$E2E_Y" 1 "$E2E_H")
        row=$(e2e_pixels "$E2E_SHOT" "$E2E_X" "$y" "$E2E_W" 1)
        tops+=("$(grep -n -m1 -x 000000 <<<"$column" | cut -d: -f1 || true)")
        bottoms+=("$(tac <<<"$column" | grep -n -m1 -x 000000 | cut -d: -f1 || true)")
        lefts+=("$(grep -n -m1 -x 000000 <<<"$row" | cut -d: -f1 || true)")
        rights+=("$(tac <<<"$row" | grep -n -m1 -x 000000 | cut -d: -f1 || true)")
    done
    top=$(printf '%s\n' "${tops[@]}" | grep . | e2e_median || true)
    bottom=$(printf '%s\n' "${bottoms[@]}" | grep . | e2e_median || true)
    left=$(printf '%s\n' "${lefts[@]}" | grep . | e2e_median || true)
    right=$(printf '%s\n' "${rights[@]}" | grep . | e2e_median || true)
    [[ -n "$top" && -n "$bottom" && -n "$left" && -n "$right" ]] || return 1
    # grep -n counts from 1; the last black pixel is counted from the far side.
    E2E_CX=$((E2E_X + left - 1))
    E2E_CY=$((E2E_Y + top - 1))
    E2E_CW=$((E2E_W - right + 1 - left + 1))
    E2E_CH=$((E2E_H - bottom + 1 - top + 1))
    ((E2E_CW > 100 && E2E_CH > 100))
}

# e2e_client_has FILE X Y W H RRGGBB: e2e_region_has in client coordinates.
e2e_client_has() {
    e2e_region_has "$1" $((E2E_CX + $2)) $((E2E_CY + $3)) "$4" "$5" "$6"
}

# e2e_wait_exit SECONDS: waits for the game to end; sets E2E_EXIT_STATUS.
e2e_wait_exit() {
    e2e_wait_until "$1" eval '! e2e_game_running' || e2e_fail "the game did not end within $1 s"
    E2E_EXIT_STATUS=0
    wait "$E2E_GAME_PID" || E2E_EXIT_STATUS=$?
    E2E_GAME_PID=""
}

# e2e_stop_game: ends the running game, for a test that starts it afresh. The pointer
# leaves the window's middle: moving it there again with --sync waits for a motion that
# never comes.
e2e_stop_game() {
    kill "$E2E_GAME_PID" 2>/dev/null || true
    wait "$E2E_GAME_PID" 2>/dev/null || true
    E2E_GAME_PID=""
    xdotool mousemove --sync 0 0
}

e2e_visible_window_count() {
    xdotool search --onlyvisible --name '' 2>/dev/null | wc -l
}

# e2e_open_menu KEY: presses KEY (a menu's Alt mnemonic, or a submenu's letter) and waits
# for the menu it opens to show, so that the next key goes to that menu.
e2e_open_menu() {
    local -r before=$(e2e_visible_window_count)
    xdotool key "$1"
    e2e_wait_until 5 e2e_more_windows_than "$before" || e2e_fail "no menu opened on $1"
}

e2e_more_windows_than() {
    (($(e2e_visible_window_count) > $1))
}

# e2e_await_dialog TITLE: waits for a window named TITLE besides the main window, a dialog
# of ours; sets E2E_DIALOG. e2e_await_dialog_gone: waits until it has closed.
e2e_await_dialog() {
    local -r title=$1
    found() {
        e2e_game_running || e2e_fail "the game ended"
        E2E_DIALOG=$(e2e_windows_named "$title" | grep -vx "$E2E_WID" | head -n1 || true)
        [[ -n "$E2E_DIALOG" ]]
    }
    e2e_wait_until 10 found || e2e_fail "no dialog titled '$title' appeared"
}
e2e_await_dialog_gone() {
    e2e_wait_until 10 eval '! xdotool search --onlyvisible --name "" 2>/dev/null | grep -qx "$E2E_DIALOG"' ||
        e2e_fail "the dialog did not close"
}

# --- The arena on the screen (after e2e_find_client) -----------------------------------

# e2e_labels_ok: the "Score:" and "Deaths:" cells at client (10, 10) and (10, 30) are white
# text on black only; they are drawn last, so nothing covers them.
e2e_labels_ok() {
    local -r score=$(e2e_region_colours "$E2E_SHOT" $((E2E_CX + 10)) $((E2E_CY + 10)) 30 12 | tr '\n' ' ')
    local -r deaths=$(e2e_region_colours "$E2E_SHOT" $((E2E_CX + 10)) $((E2E_CY + 30)) 30 12 | tr '\n' ' ')
    [[ "$score" == "000000 FFFFFF " && "$deaths" == "000000 FFFFFF " ]]
}

# e2e_corners_black: the four corners of the client area are painted black, as an arena
# drawn whole is.
e2e_corners_black() {
    local -r inset=3 size=6
    local x y
    for x in $inset $((E2E_CW - inset - size)); do
        for y in $inset $((E2E_CH - inset - size)); do
            [[ "$(e2e_region_colours "$E2E_SHOT" $((E2E_CX + x)) $((E2E_CY + y)) $size $size)" == 000000 ]] || return 1
        done
    done
}

# e2e_spans_window: the client area fills the window below its menu bar, but for an edge.
e2e_spans_window() {
    local -r edge=4
    ((E2E_CX - E2E_X <= edge && E2E_X + E2E_W - (E2E_CX + E2E_CW) <= edge &&
        E2E_Y + E2E_H - (E2E_CY + E2E_CH) <= edge && E2E_CY > E2E_Y))
}

# --- The game's state ------------------------------------------------------------------
# The game writes its state to $E2E_WORK/state at every tick (src/arena/StateLog.h names
# the fields). In the awk conditions below, tick, paused, count (ships in play), powerups
# and sentry (its autopilot) are the line's first fields, dropped is set on a line with more
# power-ups than the line before, and ship(SLOT, NAME) reads a ship's fields: x y vx vy hx
# hy hp score deaths bullets autopilot.
readonly E2E_STATE_AWK='
    BEGIN { n = split("x y vx vy hx hy hp score deaths bullets autopilot", names, " "); for (i = 1; i <= n; ++i) at[names[i]] = i }
    function ship(slot, name) { return $(7 + 11 * slot + at[name]) }
    NF == 73 { tick = $1; paused = $2; count = $3; dropped = NR > 1 && $4 > powerups; powerups = $4; sentry = $5 }'

# e2e_state_is CONDITION: the last line of the state meets CONDITION.
e2e_state_is() {
    tail -n1 "$E2E_WORK/state" | awk "$E2E_STATE_AWK"' NF == 73 { ok = ('"$1"') } END { exit !ok }'
}

# e2e_state_value EXPRESSION: EXPRESSION on the last line of the state.
e2e_state_value() {
    tail -n1 "$E2E_WORK/state" | awk "$E2E_STATE_AWK"' NF == 73 { print '"$1"' }'
}

# e2e_state_since TICK CONDITION: some line from TICK on meets CONDITION.
e2e_state_since() {
    local status=0
    awk -v since="$1" "$E2E_STATE_AWK"' NF == 73 && tick >= since && ('"$2"') { found = 1 } END { exit !found }' "$E2E_WORK/state" || status=$?
    ((status < 2)) || e2e_fail "awk cannot read the condition $2"
    return "$status"
}

# e2e_await SECONDS CONDITION WHAT: waits until the state meets CONDITION; fails with WHAT.
e2e_await() {
    e2e_wait_until "$1" e2e_state_is "$2" || e2e_fail "$3 (state: $(tail -n1 "$E2E_WORK/state"))"
}

# e2e_steady EXPRESSION: the last two lines of the state agree on EXPRESSION, as they do
# once a key's release has shown.
e2e_steady() {
    (($(tail -n2 "$E2E_WORK/state" | awk "$E2E_STATE_AWK"' NF == 73 { print '"$1"' }' | uniq | wc -l) == 1))
}

# e2e_change KEY EXPRESSION: holds KEY until EXPRESSION changes, and prints its value before
# and on the first line that shows the change: the work of one tick.
e2e_change() {
    local -r key=$1 expression=$2
    local -r since=$(e2e_state_value tick) before=$(e2e_state_value "$expression")
    xdotool keydown "$key"
    e2e_wait_until 10 eval '[[ "$(e2e_state_value "$expression")" != "$before" ]]' ||
        e2e_fail "holding $key did not change $expression from $before"
    xdotool keyup "$key"
    e2e_wait_until 10 e2e_steady "$expression" || e2e_fail "releasing $key did not stop the change of $expression"
    awk -v since="$since" -v before="$before" "$E2E_STATE_AWK"' NF == 73 && tick > since && ('"$expression"') != before { print before, '"$expression"'; exit }' "$E2E_WORK/state"
}

# e2e_start_on_keys: starts the game and hands the sentry and ships 2 and 3 to the keys
# (F4, F2, F3), so that nothing fires by itself.
e2e_start_on_keys() {
    e2e_start_game
    xdotool key F4 F2 F3
    e2e_await 10 'sentry == 0 && ship(0, "autopilot") + ship(1, "autopilot") + ship(2, "autopilot") == 0' \
        "F4, F2 and F3 did not hand the sentry and ships 2 and 3 to the keys"
}

# e2e_quiet SLOT: the ship's bullets are gone and it fires none for 40 ticks, as a ship on
# the keys with its fire key up.
e2e_quiet() {
    e2e_await 10 "ship($1, \"bullets\") == 0" "ship $(($1 + 1)) keeps firing"
    local -r since=$(e2e_state_value tick)
    e2e_wait_ticks 40
    ! e2e_state_since "$since" "ship($1, \"bullets\") > 0" || e2e_fail "ship $(($1 + 1)) fired with its fire key up"
}
