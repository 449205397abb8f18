#!/usr/bin/env bash
# Measures the running game against the floor: a bare Qt window that only shows a full
# 800 x 600 image 40 times a second (vexlor_floor_window). Under a private Xvfb both run
# alternately (game, floor, game, floor, ...) for the same number of seconds with an
# 800 x 600 client area, and for each run this prints:
#   CPU seconds      utime + stime from /proc/PID/stat, read just before stopping
#   peak memory      VmHWM from /proc/PID/status, read just before stopping
#   ticks/s          from the tick log (VEXLOR_TICK_LOG: one monotonic-ns line per tick),
#                    with the median and 99th-percentile interval between ticks, over
#                    the run less its first second
#   CPU to 1st frame the CPU seconds used by the time the first frame was seen
#   first frame      from launch until a screenshot shows the first frame: the white of
#                    the scoreboard labels (the floor's image has a white block there)
# then the medians over the rounds and the ratios game/floor against the targets.
# CPU time comes in steps of 10 ms: longer runs (-s 30) give steadier ratios.
#
# Usage: scripts/measure.sh [-n ROUNDS] [-s SECONDS] [-b BUILD_DIR] [--game PATH] [--floor PATH]
#   ROUNDS   rounds of one game run and one floor run (default 3)
#   SECONDS  length of every run, from launch (default 10)
#   BUILD_DIR where vexlor and bench/vexlor_floor_window are (default build)
# Needs: Xvfb, xdotool, xwd (x11-apps), od, awk.
set -euo pipefail

readonly ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ROUNDS=3
RUN_SECONDS=10
BUILD_DIR="$ROOT/build"
GAME=""
FLOOR=""
readonly CLIENT_W=800
readonly CLIENT_H=600

usage() {
    sed -n '/^# Usage:/,/^# Needs:/p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'
    exit 2
}

while (($#)); do
    case $1 in
    -n) ROUNDS=${2:?}; shift 2 ;;
    -s) RUN_SECONDS=${2:?}; shift 2 ;;
    -b) BUILD_DIR=${2:?}; shift 2 ;;
    --game) GAME=${2:?}; shift 2 ;;
    --floor) FLOOR=${2:?}; shift 2 ;;
    -h | --help) usage ;;
    *) echo "unknown argument: $1" >&2; usage ;;
    esac
done
GAME=${GAME:-$BUILD_DIR/vexlor}
FLOOR=${FLOOR:-$BUILD_DIR/bench/vexlor_floor_window}
[[ "$ROUNDS" =~ ^[1-9][0-9]*$ ]] || { echo "ROUNDS must be a positive whole number" >&2; exit 2; }
[[ "$RUN_SECONDS" =~ ^[1-9][0-9]*$ ]] || { echo "SECONDS must be a positive whole number" >&2; exit 2; }
for program in "$GAME" "$FLOOR"; do
    [[ -x "$program" ]] || { echo "no executable at $program (build it first)" >&2; exit 2; }
done
for tool in Xvfb xdotool xwd od awk; do
    command -v "$tool" >/dev/null || { echo "missing tool: $tool" >&2; exit 2; }
done

WORK=$(mktemp -d "${TMPDIR:-/tmp}/vexlor-measure.XXXXXX")
XVFB_PID=""
RUN_PID=""

cleanup() {
    local -r status=$?
    for pid in "$RUN_PID" "$XVFB_PID"; do
        if [[ -n "$pid" ]] && kill -0 "$pid" 2>/dev/null; then
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        fi
    done
    rm -rf "$WORK"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

die() {
    echo "measure: $*" >&2
    exit 1
}

# Microseconds since the epoch, from the shell itself (no process started).
now_us() {
    local -r t=$EPOCHREALTIME
    echo $((${t%.*} * 1000000 + 10#${t#*.}))
}

# wait_until SECONDS COMMAND...: polls COMMAND until it succeeds; false at the deadline.
wait_until() {
    local -r deadline=$(($(now_us) + $1 * 1000000))
    shift
    until "$@"; do
        (($(now_us) < deadline)) || return 1
        sleep 0.005
    done
}

start_xvfb() {
    local -r display_file="$WORK/display"
    # -br: a black root, so that nothing is white before a program draws.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -br -noreset -nolisten tcp 3>"$display_file" \
        >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    wait_until 20 test -s "$display_file" || die "Xvfb did not start: $(cat "$WORK/xvfb.log")"
    export DISPLAY=":$(head -n1 "$display_file")"
    unset WAYLAND_DISPLAY
    export QT_QPA_PLATFORM=xcb
    export XDG_RUNTIME_DIR="$WORK"
    chmod 700 "$WORK"
}

# --- Screenshots -------------------------------------------------------------------
# xwd files: a big-endian header of 32-bit fields, a colour map, then rows of
# bytes_per_line bytes, 3 or 4 bytes a pixel, low byte (blue) first.
readonly SHOT="$WORK/shot.xwd"

XWD_DATA=0
XWD_BPL=0
XWD_STEP=0
XWD_W=0
XWD_H=0
# The layout can change from one screenshot to the next (xwd writes 3 bytes a pixel
# once windows of another visual are on the screen), so it is read from each file.
read_xwd_layout() {
    local -a f
    read -r -a f <<<"$(od -An -v -tu1 -N 80 "$1" | awk '
        { for (i = 1; i <= NF; i++) b[n++] = $i }
        END { for (k = 0; k < 20; k++) printf "%d ", ((b[4*k] * 256 + b[4*k+1]) * 256 + b[4*k+2]) * 256 + b[4*k+3] }')"
    ((${#f[@]} == 20)) || die "not a screenshot: $1"
    [[ (${f[11]} == 24 || ${f[11]} == 32) && ${f[7]} == 0 ]] ||
        die "screenshots are not of 24 or 32 bits a pixel, low byte first"
    XWD_BPL=${f[12]}
    # The pixels are the file's last rows: counting back from its end does not depend on
    # how many colour map entries xwd chose to write.
    XWD_DATA=$(($(stat -c %s "$1") - f[5] * XWD_BPL))
    ((XWD_DATA >= f[0])) || die "a cut screenshot: $1"
    XWD_STEP=$((f[11] / 8))
    XWD_W=${f[4]}
    XWD_H=${f[5]}
}

# xwd_rows FILE FIRST_ROW ROW_COUNT: one line of byte values per row.
xwd_rows() {
    od -An -v -tu1 -w"$XWD_BPL" -j $((XWD_DATA + $2 * XWD_BPL)) -N $(($3 * XWD_BPL)) "$1"
}

# rows_have_white FILE FIRST_ROW ROW_COUNT: true when a pure white pixel is in those rows.
rows_have_white() {
    read_xwd_layout "$1"
    xwd_rows "$@" | awk -v step="$XWD_STEP" -v w="$XWD_W" '
        found { next }
        { for (x = 0; x < w && !found; x++) { i = x * step + 1; found = $i == 255 && $(i + 1) == 255 && $(i + 2) == 255 } }
        END { exit !found }'
}

# --- The game's window -----------------------------------------------------------
# The game's frame holds a menu bar and edges around the arena. One unmeasured run
# finds them: the arena is the black area of the window.
CHROME_W=0
CHROME_H=0
ARENA_X=0
ARENA_Y=0
window_named() {
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1
}

calibrate_game() {
    "$GAME" >"$WORK/calibrate.log" 2>&1 &
    RUN_PID=$!
    local wid=""
    wait_until 30 eval 'wid=$(window_named Vexlor); [[ -n "$wid" ]]' || die "no window named Vexlor appeared"
    sleep 2
    xwd -id "$wid" -silent >"$SHOT" || die "no screenshot of the game's window"
    kill "$RUN_PID" && wait "$RUN_PID" 2>/dev/null || true
    RUN_PID=""
    read_xwd_layout "$SHOT"
    # Rows, then columns, that are mostly black belong to the arena.
    local box
    box=$(xwd_rows "$SHOT" 0 "$XWD_H" | awk -v step="$XWD_STEP" -v w="$XWD_W" '
        { y = NR - 1; h = NR
          for (x = 0; x < w; x++) { i = x * step + 1
              if ($i == 0 && $(i + 1) == 0 && $(i + 2) == 0) { rowBlack[y]++; colBlack[x]++ } } }
        END {
            top = -1; for (y = 0; y < h; y++) if (rowBlack[y] > w / 2) { if (top < 0) top = y; bottom = y }
            left = -1; for (x = 0; x < w; x++) if (colBlack[x] > (bottom - top + 1) / 2) { if (left < 0) left = x; right = x }
            print left, top, right - left + 1, bottom - top + 1
        }')
    local aw ah
    read -r ARENA_X ARENA_Y aw ah <<<"$box"
    ((ARENA_X >= 0 && aw > 0 && ah > 0)) || die "could not find the arena in the game's window"
    CHROME_W=$((XWD_W - aw))
    CHROME_H=$((XWD_H - ah))
}

# --- One run ---------------------------------------------------------------------
# Results of the last run.
R_CPU="" R_CPU_FIRST="" R_PEAK_MB="" R_TPS="" R_MEDIAN_MS="" R_P99_MS="" R_FIRST_MS="" R_SIZE=""
readonly CLOCK_TICKS=$(getconf CLK_TCK)

# cpu_seconds PID: utime + stime of the process so far.
cpu_seconds() {
    local -r stat=$(<"/proc/$1/stat")
    # The fields after the command name, which is in parentheses and may hold spaces.
    local -a fields
    read -r -a fields <<<"${stat##*) }"
    awk -v u="${fields[11]}" -v s="${fields[12]}" -v hz="$CLOCK_TICKS" 'BEGIN { printf "%.2f", (u + s) / hz }'
}

# tick_stats LOG: ticks/s, median and 99th-percentile interval in ms (n/a without a log).
tick_stats() {
    if [[ ! -s "$1" ]] || (($(wc -l <"$1") < 3)); then
        echo "n/a n/a n/a"
        return
    fi
    # The first second is start-up, when the screenshots that look for the first frame
    # keep the X server busy too; the rest is the steady run.
    awk 'NR == 1 { start = $1 + 1e9 } $1 >= start' "$1" >"$1.steady"
    if (($(wc -l <"$1.steady") < 3)); then
        echo "n/a n/a n/a"
        return
    fi
    awk 'NR > 1 { print ($1 - previous) / 1e6 } { previous = $1 }' "$1.steady" | sort -g >"$1.intervals"
    local -r n=$(wc -l <"$1.steady") first=$(head -n1 "$1.steady") last=$(tail -n1 "$1.steady")
    awk -v n="$n" -v span=$((last - first)) '
        { v[NR] = $1 }
        END {
            m = NR; median = (m % 2) ? v[(m + 1) / 2] : (v[m / 2] + v[m / 2 + 1]) / 2
            r = int(0.99 * m + 0.999999); if (r < 1) r = 1; if (r > m) r = m
            printf "%.2f %.2f %.2f\n", (n - 1) / (span / 1e9), median, v[r]
        }' "$1.intervals"
}

# run_one KIND TITLE PROGRAM ARGS...: one run of SECONDS from launch; sets the R_ results.
# The first frame is looked for in FRAME_ROWS rows of the screen from FRAME_ROW on.
run_one() {
    local -r kind=$1 title=$2 program=$3
    shift 3
    local -r log="$WORK/$kind.ticks"
    rm -f "$log"
    local -r start=$(now_us)
    VEXLOR_TICK_LOG="$log" "$program" "$@" >"$WORK/$kind.out" 2>&1 &
    RUN_PID=$!

    local first=""
    local -r deadline=$((start + 30000000))
    while [[ -z "$first" ]]; do
        kill -0 "$RUN_PID" 2>/dev/null || die "$kind ended while starting: $(cat "$WORK/$kind.out")"
        (($(now_us) < deadline)) || die "$kind never showed a frame"
        if xwd -root -silent >"$SHOT" 2>/dev/null && rows_have_white "$SHOT" "$FRAME_ROW" "$FRAME_ROWS"; then
            first=$(now_us)
            R_CPU_FIRST=$(cpu_seconds "$RUN_PID")
        else
            sleep 0.01
        fi
    done

    local -r wid=$(window_named "$title")
    R_SIZE="?"
    if [[ -n "$wid" ]]; then
        local WIDTH HEIGHT X Y SCREEN WINDOW
        eval "$(xdotool getwindowgeometry --shell "$wid")"
        R_SIZE="${WIDTH}x${HEIGHT}"
    fi

    local -r end=$((start + RUN_SECONDS * 1000000))
    local -r left_us=$((end - $(now_us)))
    ((left_us > 0)) && sleep "$((left_us / 1000000)).$(printf '%06d' $((left_us % 1000000)))"

    kill -0 "$RUN_PID" 2>/dev/null || die "$kind ended before its time was up"
    R_CPU=$(cpu_seconds "$RUN_PID")
    local -r peak_kb=$(awk '/^VmHWM:/ { print $2 }' "/proc/$RUN_PID/status")
    kill "$RUN_PID"
    wait "$RUN_PID" 2>/dev/null || true
    RUN_PID=""

    R_PEAK_MB=$(awk -v kb="$peak_kb" 'BEGIN { printf "%.1f", kb / 1024 }')
    read -r R_TPS R_MEDIAN_MS R_P99_MS <<<"$(tick_stats "$log")"
    R_FIRST_MS=$(((first - start) / 1000))
}

# --- Main ----------------------------------------------------------------------------
start_xvfb
echo "# display $DISPLAY, $ROUNDS rounds of $RUN_SECONDS s, client ${CLIENT_W}x${CLIENT_H}"
calibrate_game
GAME_W=$((CLIENT_W + CHROME_W))
GAME_H=$((CLIENT_H + CHROME_H))
echo "# the game's window is its arena plus ${CHROME_W}x${CHROME_H} of menu and edges: ${GAME_W}x${GAME_H}"
echo "# game:  $GAME"
echo "# floor: $FLOOR"

RESULTS="$WORK/results"
: >"$RESULTS"
readonly ROW='%-5s %-5s %7s %11s %8s %8s %10s %8s %15s %9s\n'
# report KIND ROUND: prints the last run's results and keeps them for the medians.
report() {
    printf "$ROW" "$2" "$1" "$R_CPU" "$R_CPU_FIRST" "$R_PEAK_MB" "$R_TPS" "$R_MEDIAN_MS" "$R_P99_MS" "$R_FIRST_MS" "$R_SIZE"
    echo "$1 $R_CPU $R_PEAK_MB $R_TPS $R_MEDIAN_MS $R_P99_MS $R_FIRST_MS $R_CPU_FIRST" >>"$RESULTS"
}
printf "$ROW" round run cpu_s cpu_to_1st_s peak_MB ticks/s median_ms p99_ms first_frame_ms window
for ((round = 1; round <= ROUNDS; round++)); do
    # Both windows sit at the top-left corner; the first frame is looked for in the rows
    # of the scoreboard labels, which lie 10 to 30 pixels into the client area.
    FRAME_ROW=$((ARENA_Y + 8)) FRAME_ROWS=26
    run_one game Vexlor "$GAME" -qwindowgeometry "${GAME_W}x${GAME_H}+0+0"
    report game "$round"
    FRAME_ROW=8 FRAME_ROWS=26
    run_one floor "Vexlor floor" "$FLOOR" -qwindowgeometry "${CLIENT_W}x${CLIENT_H}+0+0"
    report floor "$round"
done

# Medians over the rounds, then the ratios against the targets.
awk '
    function median(kind, column,    n, i, j, t, a) {
        n = 0
        for (i = 1; i <= rows; i++) if (k[i] == kind && v[i, column] != "n/a") a[++n] = v[i, column] + 0
        if (n == 0) return "n/a"
        for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] > a[j]; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
        return (n % 2) ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
    }
    function verdict(ok) { return ok ? "met" : "MISSED" }
    { rows++; k[rows] = $1; for (c = 2; c <= 8; c++) v[rows, c] = $c }
    END {
        split("cpu_s peak_MB ticks/s median_ms p99_ms first_frame_ms cpu_to_1st_s", names, " ")
        for (c = 2; c <= 8; c++) { g[c] = median("game", c); f[c] = median("floor", c) }
        printf "\n%-14s %12s %12s\n", "median", "game", "floor"
        for (c = 2; c <= 8; c++) printf "%-14s %12s %12s\n", names[c - 1], g[c], f[c]
        print ""
        if (f[2] > 0) printf "CPU game/floor          %.2f   (target <= 1.25: %s)\n", g[2] / f[2], verdict(g[2] / f[2] <= 1.25)
        if (f[2] - f[8] > 0) printf "  after the first frame %.2f   (%.2f s against %.2f s)\n", (g[2] - g[8]) / (f[2] - f[8]), g[2] - g[8], f[2] - f[8]
        printf "peak memory game-floor  %+.1f MB (target <= +10 MB: %s)\n", g[3] - f[3], verdict(g[3] - f[3] <= 10)
        if (g[4] != "n/a") {
            printf "game ticks/s            %.2f  (target 40.0 +- 0.2: %s)\n", g[4], verdict(g[4] >= 39.8 && g[4] <= 40.2)
            printf "game p99 interval       %.2f ms (target <= 27 ms: %s)\n", g[6], verdict(g[6] <= 27)
        } else {
            print "game ticks/s            n/a (the game wrote no tick log)"
        }
        if (f[4] != "n/a") printf "floor ticks/s           %.2f, p99 interval %.2f ms\n", f[4], f[6]
        if (f[7] > 0) printf "first frame game/floor  %.2f   (target <= 1.2: %s)\n", g[7] / f[7], verdict(g[7] / f[7] <= 1.2)
    }' "$RESULTS"
