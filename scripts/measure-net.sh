#!/usr/bin/env bash
# Measures online play against its targets, on 127.0.0.1 (a measurement, not a test):
#   for each one-way delay between two machines (the test proxy, tests/net/proxy.py, holds
#   half of it each way between a machine and the relay, ±20 ms jitter on each), first on a
#   steady network, then with a 200 ms stall about every 10 s on every link, four headless
#   machines (vexlor_netbot) play SECONDS on a vexlor-server, one turning its ship now and then:
#     key press to the ship turning on the other three screens, p95 and median
#     traffic per machine each way, counted by the proxy (WebSocket frames and all)
#     the deepest rollback and the tick rate of every machine
#   then the relay's CPU for ROOMS rooms of 4 machines sending 40 inputs a second
#   (scripts/net-load.py), read from /proc over the sending alone.
# Usage: scripts/measure-net.sh [-s SECONDS] [-b BUILD_DIR] [--rooms N] [--delays "0 50 150"]
# Needs: vexlor-server and tests/vexlor_netbot built in BUILD_DIR (default build), python3.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=120 build=build rooms=100 delays="0 50 150"
while (($#)); do
    case $1 in
    -s) seconds=$2 ;;
    -b) build=$2 ;;
    --rooms) rooms=$2 ;;
    --delays) delays=$2 ;;
    *) echo "usage: $0 [-s SECONDS] [-b BUILD_DIR] [--rooms N] [--delays \"0 50 150\"]" >&2; exit 2 ;;
    esac
    shift 2
done
readonly server=$build/vexlor-server bot=$build/tests/vexlor_netbot
[[ -x $server && -x $bot ]] || { echo "build vexlor-server and vexlor_netbot in $build first" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/vexlor-measure-net.XXXXXX")
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT

# first_line SECONDS FILE PATTERN: the first line of FILE that matches, once it is there.
first_line() {
    local -r deadline=$((SECONDS + $1))
    until grep -m1 -E "$3" "$2" 2>/dev/null; do
        ((SECONDS < deadline)) || { echo "no '$3' in $2" >&2; exit 1; }
        sleep 0.05
    done
}
start_relay() {
    "$server" --port 0 >"$work/server.out" 2>&1 &
    relay_pid=$!
    pids+=("$relay_pid")
    relay_port=$(first_line 10 "$work/server.out" 'relaying on' | sed 's/.*://')
}

session() {
    local -r delay=$1 stalls=$2 dir=$work/delay-$1-$2
    mkdir -p "$dir"
    start_relay
    python3 tests/net/proxy.py "$relay_port" $((delay / 2)) 1 "$stalls" >"$dir/proxy.out" 2>&1 &
    pids+=($!)
    local -r proxy_pid=$! port=$(first_line 10 "$dir/proxy.out" 'listening on' | sed 's/.*://')
    "$bot" "$port" new "$seconds" 1 probe >"$dir/a.out" 2>&1 &
    pids+=($!)
    local -r room=$(first_line 20 "$dir/a.out" '^netbot: room ' | cut -d' ' -f3)
    for machine in b c d; do
        "$bot" "$port" "$room" "$seconds" "$(printf '%d' "'$machine")" watch 0 >"$dir/$machine.out" 2>&1 &
        pids+=($!)
    done
    for machine in a b c d; do first_line $((seconds + 60)) "$dir/$machine.out" '^netbot: figures' >/dev/null; done
    local -r deadline=$((SECONDS + 20))
    while (($(grep -c carried "$dir/proxy.out") < 4 && SECONDS < deadline)); do sleep 0.1; done
    kill "$proxy_pid" "$relay_pid"
    report "$delay" "$stalls" "$dir"
}

# For each press, the first turn each watcher saw within two seconds after it.
latencies() {
    awk '$2 == "press" { press[++n] = $3 }
         FILENAME != ARGV[1] && $2 == "moved" { moved[FILENAME, ++m[FILENAME]] = $3 }
         END { for (f in m) for (i = 1; i <= n; ++i) for (j = 1; j <= m[f]; ++j)
                 if (moved[f, j] >= press[i] && moved[f, j] < press[i] + 2000) { print moved[f, j] - press[i]; break } }' \
        "$1"/[a-d].out | sort -n
}

report() {
    local -r delay=$1 stalls=$2 dir=$3
    local -r all=$(latencies "$dir")
    local -r n=$(grep -c . <<<"$all" || true)
    printf '%s ms one way between machines, %s:\n' "$delay" "$( ((stalls)) && echo 'a 200 ms stall every 10 s or so' || echo 'steady')"
    if ((n > 0)); then
        printf '  key press to the remote ship turning: p95 %s ms, median %s ms over %s turns (target <= %s ms)\n' \
            "$(sed -n "$(((n * 95 + 99) / 100))p" <<<"$all")" "$(sed -n "$(((n + 1) / 2))p" <<<"$all")" "$n" \
            $((delay + 50))
    else
        echo "  key press to the remote ship turning: no turn seen"
    fi
    awk '/carried/ { s = $5; up = $8; down = $12; printf "  traffic of a machine: %.0f B/s up, %.0f B/s down (target <= 2048 each)\n", up / s, down / s }' \
        "$dir/proxy.out"
    for machine in a b c d; do
        sed -n 's/^netbot: figures /  machine '"$machine"': /p' "$dir/$machine.out"
    done
}

relay_cpu() {
    start_relay
    python3 scripts/net-load.py "$relay_port" "$rooms" 20 >"$work/load.out" 2>&1 &
    pids+=($!)
    local -r load_pid=$!
    first_line 300 "$work/load.out" 'joined' >/dev/null
    local -r cpu0=$(awk '{ print $14 + $15 }' "/proc/$relay_pid/stat") t0=$(date +%s.%N)
    first_line 60 "$work/load.out" 'done' >/dev/null
    local -r cpu1=$(awk '{ print $14 + $15 }' "/proc/$relay_pid/stat") t1=$(date +%s.%N)
    wait "$load_pid" || { cat "$work/load.out" >&2; exit 1; }
    awk -v c="$((cpu1 - cpu0))" -v t0="$t0" -v t1="$t1" -v hz="$(getconf CLK_TCK)" -v rooms="$rooms" -v late="$(grep done "$work/load.out")" \
        'BEGIN { printf "relay CPU for %d rooms of 4 machines: %.1f %% of a core over %.1f s (target <= 10 %%; %s)\n", rooms, 100 * c / hz / (t1 - t0), t1 - t0, late }'
    kill "$relay_pid"
}

for stalls in 0 1; do
    for delay in $delays; do session "$delay" "$stalls"; done
done
relay_cpu
