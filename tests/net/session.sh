#!/usr/bin/env bash
# One real-time online session over real sockets on 127.0.0.1: three headless machines
# (vexlor_netbot) play through the test proxy, 50 ms each way with ±20 ms jitter and 200 ms
# stalls, on one vexlor-server. After 500 confirmed ticks one machine is killed: the other
# two play on. 600 ticks later the relay stops: each of them says why in one line and ends.
# Every confirmed tick's hash that two machines report is the same; none saw a desync.
# Usage: session.sh path/to/vexlor-server path/to/vexlor_netbot
set -euo pipefail
readonly SERVER=${1:?usage: $0 SERVER NETBOT} BOT=${2:?usage: $0 SERVER NETBOT}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/vexlor-net.XXXXXX")
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*" >&2; tail -n 3 "$WORK"/*.out >&2 || true; exit 1; }
# within SECONDS COMMAND...: waits until COMMAND succeeds.
within() {
    local -r deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || fail "not within the time: $*"
        sleep 0.05
    done
}
# await SECONDS FILE PATTERN: the first match of PATTERN in FILE, once it is there.
await() { within "$1" grep -s -m1 -E "$3" "$2"; }

"$SERVER" --port 0 >"$WORK/server.out" 2>&1 & pids+=($!)
relay_pid=$!
relay=$(await 10 "$WORK/server.out" 'relaying on' | sed 's/.*://')
python3 "$(dirname "$0")/proxy.py" "$relay" 50 >"$WORK/proxy.out" 2>&1 & pids+=($!)
port=$(await 10 "$WORK/proxy.out" 'listening on' | sed 's/.*://')

"$BOT" "$port" new 120 1 >"$WORK/a.out" 2>&1 & pids+=($!)
room=$(await 20 "$WORK/a.out" '^netbot: room ' | cut -d' ' -f3)
"$BOT" "$port" "$room" 120 2 >"$WORK/b.out" 2>&1 & pids+=($!)
"$BOT" "$port" "$room" 120 3 >"$WORK/c.out" 2>&1 & pids+=($!)
victim=$!
last_hash() { grep '^netbot: hash ' "$1" | tail -n1 | cut -d' ' -f3; }
# reaches FILE TICK: the machine has confirmed TICK.
reaches() { (($(last_hash "$1") + 0 >= $2)); }
within 60 reaches "$WORK/c.out" 500
kill "$victim"
killed_at=$(last_hash "$WORK/a.out")
within 60 reaches "$WORK/b.out" $((killed_at + 600))
kill "$relay_pid"
for bot in a b; do
    await 20 "$WORK/$bot.out" '^netbot: figures' >/dev/null
    grep -qE '^netbot: ended: .*(relay|connection)' "$WORK/$bot.out" || fail "machine $bot ended without saying why"
    grep -q 'desyncs 0 ' "$WORK/$bot.out" || fail "machine $bot saw a desync: $(grep figures "$WORK/$bot.out")"
    last=$(last_hash "$WORK/$bot.out")
    ((last > killed_at + 400)) || fail "machine $bot stopped at tick $last after the kill at $killed_at"
    echo "# machine $bot: $(grep figures "$WORK/$bot.out")"
done
# Each tick's hash once a machine, then the ticks reported with two different hashes.
mismatched=$(cat "$WORK"/[abc].out | awk '$2 == "hash" { print $3, $4 }' | sort -u | awk '{ print $1 }' | uniq -d)
[[ -z "$mismatched" ]] || fail "the machines' hashes differ at ticks $(head -n3 <<<"$mismatched" | tr '\n' ' ')"
shared=$(cat "$WORK"/[ab].out | awk '$2 == "hash" { print $3 }' | sort | uniq -d | wc -l)
((shared >= 20)) || fail "only $shared ticks' hashes to compare"
echo "# $shared ticks' hashes equal on every machine; the killed machine's peers played on; the stopped relay was named"
