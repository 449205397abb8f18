#!/usr/bin/env bash
# The game's sound, written by SDL's disk audio driver to a file of stereo float frames at
# 48 kHz as the device plays it: sound while the ships and the sentry shoot, silence while
# paused and while muted with M, nothing beyond full scale, and the choice remembered. With
# an audio driver that does not exist the game plays on and says so in one line.
# Usage: sound.sh VEXLOR play|nodevice
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
readonly how=${2:?play or nodevice}
export XDG_CONFIG_HOME="$E2E_WORK/config"
readonly second=$((48000 * 8))  # bytes of one second of stereo float frames

if [[ $how == nodevice ]]; then
    export SDL_AUDIODRIVER=no-such-driver
    e2e_start_game
    e2e_wait_ticks 40
    e2e_game_running || e2e_fail "the game ended without a sound device"
    lines=$(grep -c "no sound" "$E2E_WORK/game.log" || true)
    ((lines == 1)) || e2e_fail "expected one line about the missing sound, got $lines"
    e2e_log "without a device the game plays on: $(grep "no sound" "$E2E_WORK/game.log")"
    exit 0
fi

readonly audio="$E2E_WORK/audio.raw"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$audio"
e2e_start_game

size() { stat -c %s "$audio"; }
# wait_audio SECONDS: until the device has played that much more.
wait_audio() {
    local -r until=$(($(size) + $1 * second / 10))
    e2e_wait_until 60 eval '(($(size) >= until))' || e2e_fail "the audio device stalled"
}
# peak FROM TO: the largest absolute sample between two byte offsets of the file.
peak() {
    od -A n -t f4 -v -j "$1" -N $(($2 - $1)) "$audio" |
        awk '{ for (i = 1; i <= NF; ++i) { v = $i < 0 ? -$i : $i; if ($i !~ /^-?[0-9]/) v = 9; if (v > m) m = v } }
             END { printf "%.4f\n", m }'
}
louder() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
# expect_sound TENTHS and expect_silence TENTHS: the next stretch of that length.
expect_sound() {
    local -r from=$(size); wait_audio "$1"; local -r level=$(peak "$from" "$(size)")
    louder "$level" 0.05 || e2e_fail "silence where $2 (peak $level)"
    e2e_log "$2: peak $level"
}
expect_silence() {
    wait_audio 5  # the last buffers and the pause's own short sound
    local -r from=$(size); wait_audio "$1"; local -r level=$(peak "$from" "$(size)")
    louder "$level" 0 && e2e_fail "sound while $2 (peak $level)"
    e2e_log "silent while $2"
}

expect_sound 50 "ships and the sentry shoot"
xdotool key p
expect_silence 30 "paused"
xdotool key p
expect_sound 40 "the game runs again"
xdotool key m
expect_silence 30 "muted"
xdotool key m
expect_sound 40 "sound is back"
xdotool key m
wait_audio 3
level=$(peak 0 "$(size)")
louder "$level" 1.0 && e2e_fail "a sample beyond full scale: $level"
e2e_log "largest sample of $(($(size) / second)) s: $level"
xdotool key Escape
e2e_wait_exit 10
grep -qx "sound=false" "$XDG_CONFIG_HOME/Vexlor/vexlor.conf" || e2e_fail "sound off was not remembered"
e2e_log "sound off remembered in vexlor.conf"
