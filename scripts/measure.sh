#!/usr/bin/env bash
# Measures the running game against the floor: a bare Qt window that only shows a full
# image of its own size 40 times a second (vexlor_floor_window). Under a private Xvfb
# with one screen for each size, both run alternately (at each size in turn: game,
# floor; then the next size; then the next round) for the same number of seconds, and
# for each run this prints:
#   CPU seconds      utime + stime from /proc/PID/stat, read just before stopping
#   peak memory      VmHWM from /proc/PID/status, read just before stopping
#   ticks/s          from the tick log (VEXLOR_TICK_LOG: one monotonic-ns line per tick),
#                    with the median and 99th-percentile interval between ticks, over
#                    the run less its first second
#   CPU to 1st frame the CPU seconds used by the time the first frame was seen
#   first frame      from launch until a screenshot shows the first frame: the white of
#                    the scoreboard labels (the floor's image has a white block there)
# then the medians over the rounds for each size and the ratios game/floor against the
# targets. Last, one run of the game alone with a huge client area checks that it still
# holds its tick rate there.
# CPU time comes in steps of 10 ms: longer runs (-s 30) give steadier ratios.
#
# Usage: scripts/measure.sh [-n ROUNDS] [-s SECONDS] [-b BUILD_DIR] [--sizes "WxH ..."]
#                           [--huge WxH|none] [--game PATH] [--floor PATH]
#   ROUNDS   rounds of one game run and one floor run at each size (default 3)
#   SECONDS  length of every run, from launch (default 10)
#   BUILD_DIR where vexlor and bench/vexlor_floor_window are (default build)
#   --sizes  the client areas measured (default "800x600 1920x1080 3840x2160"); the
#            targets name the first and the last
#   --huge   the client area of the tick-rate check (default 7680x4320), or none
# Needs: Xvfb, xdotool, xwd (x11-apps), od, awk.
set -euo pipefail

readonly ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ROUNDS=3
RUN_SECONDS=10
BUILD_DIR="$ROOT/build"
GAME=""
FLOOR=""
SIZES="800x600 1920x1080 3840x2160"
HUGE=7680x4320

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
    --sizes) SIZES=${2:?}; shift 2 ;;
    --huge) HUGE=${2:?}; shift 2 ;;
    -h | --help) usage ;;
    *) echo "unknown argument: $1" >&2; usage ;;
    esac
done
GAME=${GAME:-$BUILD_DIR/vexlor}
FLOOR=${FLOOR:-$BUILD_DIR/bench/vexlor_floor_window}
[[ "$ROUNDS" =~ ^[1-9][0-9]*$ ]] || { echo "ROUNDS must be a positive whole number" >&2; exit 2; }
[[ "$RUN_SECONDS" =~ ^[1-9][0-9]*$ ]] || { echo "SECONDS must be a positive whole number" >&2; exit 2; }
read -r -a SIZE_LIST <<<"$SIZES"
((${#SIZE_LIST[@]} > 0)) || { echo "no sizes to measure" >&2; exit 2; }
for size in "${SIZE_LIST[@]}" $([[ $HUGE == none ]] || echo "$HUGE"); do
    [[ "$size" =~ ^[1-9][0-9]*x[1-9][0-9]*$ ]] || { echo "not a size: $size (WIDTHxHEIGHT)" >&2; exit 2; }
done
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

# The room around a client area that a screen keeps for the window's menu and edges.
readonly SCREEN_MARGIN=128
# One screen for each size (then one for the huge check), each only as large as that
# size needs, so that the screenshots that look for a first frame stay small.
DISPLAY_BASE=""
start_xvfb() {
    local -r display_file="$WORK/display"
    local -a screens=()
    local n=0 size
    for size in "$@"; do
        screens+=(-screen "$n" "$((${size%x*} + SCREEN_MARGIN))x$((${size#*x} + SCREEN_MARGIN))x24")
        n=$((n + 1))
    done
    # -br: a black root, so that nothing is white before a program draws.
    Xvfb -displayfd 3 "${screens[@]}" -br -noreset -nolisten tcp 3>"$display_file" \
        >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    wait_until 20 test -s "$display_file" || die "Xvfb did not start: $(cat "$WORK/xvfb.log")"
    DISPLAY_BASE=":$(head -n1 "$display_file")"
    export DISPLAY="$DISPLAY_BASE.0"
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
SCREEN_SIZES=("${SIZE_LIST[@]}")
[[ $HUGE == none ]] || SCREEN_SIZES+=("$HUGE")
start_xvfb "${SCREEN_SIZES[@]}"
echo "# display $DISPLAY_BASE, $ROUNDS rounds of $RUN_SECONDS s at ${SIZE_LIST[*]}"
calibrate_game
echo "# the game's window is its arena plus ${CHROME_W}x${CHROME_H} of menu and edges"
echo "# game:  $GAME"
echo "# floor: $FLOOR"

RESULTS="$WORK/results"
: >"$RESULTS"
readonly ROW='%-5s %-10s %-5s %7s %11s %8s %8s %10s %8s %15s %10s\n'
# report KIND ROUND SIZE: prints the last run's results and keeps them for the medians.
report() {
    printf "$ROW" "$2" "$3" "$1" "$R_CPU" "$R_CPU_FIRST" "$R_PEAK_MB" "$R_TPS" "$R_MEDIAN_MS" "$R_P99_MS" \
        "$R_FIRST_MS" "$R_SIZE"
    echo "$1 $3 $R_CPU $R_PEAK_MB $R_TPS $R_MEDIAN_MS $R_P99_MS $R_FIRST_MS $R_CPU_FIRST" >>"$RESULTS"
}
# measure_game SCREEN SIZE / measure_floor SCREEN SIZE: one run on that screen with that client area.
# Both windows sit at the top-left corner; the first frame is looked for in the rows of
# the scoreboard labels, which lie 10 to 30 pixels into the client area.
measure_game() {
    local -r w=${2%x*} h=${2#*x}
    FRAME_ROW=$((ARENA_Y + 8)) FRAME_ROWS=26
    DISPLAY="$DISPLAY_BASE.$1" run_one game Vexlor "$GAME" -qwindowgeometry "$((w + CHROME_W))x$((h + CHROME_H))+0+0"
}
measure_floor() {
    FRAME_ROW=8 FRAME_ROWS=26
    DISPLAY="$DISPLAY_BASE.$1" run_one floor "Vexlor floor" "$FLOOR" -qwindowgeometry "$2+0+0"
}
printf "$ROW" round client run cpu_s cpu_to_1st_s peak_MB ticks/s median_ms p99_ms first_frame_ms window
for ((round = 1; round <= ROUNDS; round++)); do
    for ((screen = 0; screen < ${#SIZE_LIST[@]}; screen++)); do
        size=${SIZE_LIST[screen]}
        measure_game "$screen" "$size"
        report game "$round" "$size"
        measure_floor "$screen" "$size"
        report floor "$round" "$size"
    done
done
if [[ $HUGE != none ]]; then
    measure_game "${#SIZE_LIST[@]}" "$HUGE"
    report game huge "$HUGE"
fi

# Medians over the rounds for each size, then the ratios against the targets.
awk -v first="${SIZE_LIST[0]}" -v last="${SIZE_LIST[${#SIZE_LIST[@]} - 1]}" -v sizes="$SIZES" -v huge="$HUGE" '
    function median(kind, size, column,    n, i, j, t, a) {
        n = 0
        for (i = 1; i <= rows; i++) if (k[i] == kind && z[i] == size && v[i, column] != "n/a") a[++n] = v[i, column] + 0
        if (n == 0) return "n/a"
        for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] > a[j]; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
        return (n % 2) ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
    }
    function verdict(ok) { return ok ? "met" : "MISSED" }
    function ticks(label, size,    tps, p99) {
        tps = median("game", size, 5); p99 = median("game", size, 7)
        if (tps == "n/a") { printf "  %-22s n/a (the game wrote no tick log)\n", label; return }
        printf "  %-22s %.2f ticks/s (target 40.0 +- 0.2: %s), p99 interval %.2f ms (target <= 27 ms: %s)\n",
            label, tps, verdict(tps >= 39.8 && tps <= 40.2), p99, verdict(p99 <= 27)
    }
    { rows++; k[rows] = $1; z[rows] = $2; for (c = 3; c <= 9; c++) v[rows, c] = $c }
    END {
        split("cpu_s peak_MB ticks/s median_ms p99_ms first_frame_ms cpu_to_1st_s", names, " ")
        n = split(sizes, list, " ")
        for (s = 1; s <= n; s++) {
            size = list[s]
            printf "\nmedian at %-12s %12s %12s\n", size, "game", "floor"
            for (c = 3; c <= 9; c++) printf "%-22s %12s %12s\n", names[c - 2], median("game", size, c), median("floor", size, c)
        }
        print ""
        for (s = 1; s <= n; s++) {
            size = list[s]; g = median("game", size, 3); f = median("floor", size, 3)
            printf "at %-10s CPU game/floor %.2f", size, (f > 0 ? g / f : 0)
            if (size == first) printf "   (target <= 0.9: %s)", verdict(f > 0 && g / f <= 0.9)
            else if (size == last) printf "   (target <= 0.3: %s)", verdict(f > 0 && g / f <= 0.3)
            printf "\n"
            ticks("", size)
            if (median("floor", size, 5) != "n/a") printf "  %-22s %.2f ticks/s, p99 interval %.2f ms\n", "floor", median("floor", size, 5), median("floor", size, 7)
        }
        g1 = median("game", first, 3); gn = median("game", last, 3)
        if (g1 > 0) printf "game CPU at %s / at %s   %.2f   (target <= 1.5: %s)\n", last, first, gn / g1, verdict(gn / g1 <= 1.5)
        d = median("game", first, 4) - median("floor", first, 4)
        printf "peak memory game-floor at %s  %+.1f MB (target <= +10 MB: %s)\n", first, d, verdict(d <= 10)
        f7 = median("floor", first, 8)
        if (f7 > 0) printf "first frame game/floor at %s  %.2f   (target <= 1.2: %s)\n", first, median("game", first, 8) / f7, verdict(median("game", first, 8) / f7 <= 1.2)
        if (huge != "none") {
            printf "game alone at %s: CPU %s s in the run\n", huge, median("game", huge, 3)
            ticks("", huge)
        }
    }' "$RESULTS"
