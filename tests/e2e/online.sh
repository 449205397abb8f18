#!/usr/bin/env bash
# Two windows in one online game on a vexlor-server: the first opens a room (--join with no
# room), the second joins it into seat 2 through its Game menu's Join dialog, typing the
# address and the room code. The arrow keys pressed in the second turn its ship in the
# first's game; after P both are paused and their client areas show the same arena pixel
# for pixel; Escape in the second ends it with status 0 while the first plays on.
# Usage: online.sh path/to/vexlor path/to/vexlor-server
source "$(dirname "$0")/lib.sh"
E2E_SCREEN=1700x768
e2e_init "$@"
readonly SERVER=${2:?usage: $0 VEXLOR SERVER}

"$SERVER" --port 0 >"$E2E_WORK/server.out" 2>&1 &
E2E_MORE_PIDS+=($!)
e2e_wait_until 10 grep -qs 'relaying on' "$E2E_WORK/server.out" || e2e_fail "the relay did not start"
readonly PORT=$(sed -n 's/.*relaying on ws:.*:\([0-9]*\)$/\1/p' "$E2E_WORK/server.out")

# start NAME X ARGUMENTS...: a game whose state goes to NAME.state, its window at (X, 0);
# sets the variables NAME_PID and NAME_WID.
start() {
    local -r name=$1 x=$2
    shift 2
    : >"$E2E_WORK/$name.state"
    VEXLOR_STATE_LOG="$E2E_WORK/$name.state" "$E2E_BINARY" "$@" >"$E2E_WORK/$name.out" 2>&1 &
    local -r pid=$!
    E2E_MORE_PIDS+=("$pid")
    printf -v "${name}_PID" %s "$pid"
    e2e_wait_until 20 eval 'xdotool search --all --onlyvisible --pid "$pid" --name "^Vexlor" >/dev/null' ||
        e2e_fail "no window of $name appeared: $(cat "$E2E_WORK/$name.out")"
    printf -v "${name}_WID" %s "$(xdotool search --all --onlyvisible --pid "$pid" --name '^Vexlor' | head -n1)"
    xdotool windowmove --sync "$(eval echo "\$${name}_WID")" "$x" 0
}
start host 0 --join "127.0.0.1:$PORT"
e2e_wait_until 20 grep -q '^vexlor: hosting ws://127.0.0.1:' "$E2E_WORK/host.out" ||
    e2e_fail "the first game opened no room: $(cat "$E2E_WORK/host.out")"
readonly ROOM=$(sed -n 's|^vexlor: hosting ws://.*/||p' "$E2E_WORK/host.out")
start guest 850
E2E_GAME_PID=$guest_PID E2E_WID=$guest_WID
xdotool windowfocus --sync "$guest_WID"
e2e_open_menu alt+g
xdotool key j
e2e_await_dialog 'Join Online Game'
xdotool type --delay 20 "127.0.0.1:$PORT"
xdotool key Tab
xdotool type --delay 20 "$ROOM"
xdotool key Return
e2e_await_dialog_gone

# The lib's state helpers read the host's log.
ln -sf "$E2E_WORK/host.state" "$E2E_WORK/state"
e2e_await 20 'ship(1, "autopilot") == 0' "the host did not see the guest's ship 2 flown by a player"
xdotool windowfocus --sync "$guest_WID"
# Turning on: the heading changes again and again while the key is held (a respawn's new
# heading would change it once).
heading=$(e2e_state_value 'ship(1, "hx") " " ship(1, "hy")')
xdotool keydown Left
for _ in 1 2 3; do
    e2e_await 10 "ship(1, \"hx\") \" \" ship(1, \"hy\") != \"$heading\"" "Left on the guest did not turn ship 2 in the host's game"
    heading=$(e2e_state_value 'ship(1, "hx") " " ship(1, "hy")')
done
xdotool keyup Left
e2e_log "Left on the guest turned ship 2 in the host's game"

xdotool windowfocus --sync "$host_WID"
xdotool key P
e2e_await 10 'paused == 1' "P did not pause the host's game"
paused_guest() { tail -n1 "$E2E_WORK/guest.state" | awk '{ exit !($2 == 1) }'; }
e2e_wait_until 10 paused_guest || e2e_fail "P on the host did not pause the guest's game"
# client AREA WID: the window's client area, cut from a fresh screenshot into AREA.png.
client() {
    E2E_WID=$2
    e2e_wait_until 10 e2e_find_client || e2e_fail "no arena in window $2"
    convert "$E2E_SHOT" -crop "${E2E_CW}x${E2E_CH}+${E2E_CX}+${E2E_CY}" +repage "$E2E_WORK/$1.png"
}
client host "$host_WID"
client guest "$guest_WID"
differ=$(compare -metric AE "$E2E_WORK/host.png" "$E2E_WORK/guest.png" null: 2>&1 || true)
[[ "$differ" == 0 ]] || e2e_fail "the paused arenas differ in $differ pixels"
e2e_log "after P both windows show the same $E2E_CW x $E2E_CH arena"

xdotool windowfocus --sync "$guest_WID"
xdotool key Escape
e2e_wait_until 10 eval '! kill -0 "$guest_PID" 2>/dev/null' || e2e_fail "Escape did not end the guest"
status=0
wait "$guest_PID" || status=$?
((status == 0)) || e2e_fail "the guest ended with status $status"
readonly host_tick=$(tail -n1 "$E2E_WORK/host.state" | cut -d' ' -f1)
e2e_wait_until 10 eval '(($(tail -n1 "$E2E_WORK/host.state" | cut -d" " -f1) > host_tick + 40))' ||
    e2e_fail "the host stopped when the guest left"
e2e_log "Escape ended the guest; the host plays on"
