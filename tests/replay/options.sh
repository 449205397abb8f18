#!/usr/bin/env bash
# The program's options: a replay that is missing, cut short, of another format or garbage,
# an unknown option, a recording that cannot be written and a bad port, relay address or
# room code each end the program with one line on standard error and status 2, before any
# window shows and with nothing written.
# Usage: options.sh path/to/vexlor
set -euo pipefail
readonly BINARY=${1:?usage: $0 path/to/vexlor}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/vexlor-options.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$WORK"

printf 'VXRP\001\000\001\001' >"$WORK/short.vxr"
printf 'VXRP\007\000\001\001\000\000\000\000\000\000\000\000\000\000\000\000\000\000' >"$WORK/other.vxr"
head -c 300 /dev/urandom >"$WORK/garbage.vxr"
# refused EXPECTED-WORDS ARGUMENTS...
refused() {
    local -r says=$1
    shift
    local status=0
    ulimit -c 0
    timeout 20 "$BINARY" "$@" >"$WORK/out" 2>"$WORK/err" </dev/null || status=$?
    ((status == 2)) || { echo "FAIL: $*: status $status: $(cat "$WORK/err")"; exit 1; }
    [[ ! -s "$WORK/out" && $(wc -l <"$WORK/err") -eq 1 ]] && grep -q "^vexlor: .*$says" "$WORK/err" ||
        { echo "FAIL: $*: not one line that says '$says': $(cat "$WORK/err")"; exit 1; }
    echo "# $*: $(cat "$WORK/err")"
}
refused "No such file" --replay "$WORK/missing.vxr"
refused "ends inside its header" --replay "$WORK/short.vxr"
refused "format version 7" --replay "$WORK/other.vxr"
refused "not a Vexlor replay" --replay "$WORK/garbage.vxr"
refused "unknown option --fly" --fly
refused "needs a file" --record
refused "cannot go together" --record "$WORK/a.vxr" --replay "$WORK/garbage.vxr"
refused "cannot write the replay" --record "$WORK/no/such/dir.vxr"
refused "not a port: 65536" --host 65536
refused "cannot go together" --host --join 127.0.0.1
refused "needs a relay's address" --join
refused "not a relay's address" --join 'bad host:7341'
refused "not a relay's port" --join 127.0.0.1:0/ABCDEFGHJK
refused "not a room code: ABC" --join ws://127.0.0.1/ABC
[[ ! -e "$WORK/a.vxr" ]] || { echo "FAIL: a refused command line wrote a file"; exit 1; }
