#!/usr/bin/env bash
# Builds a libFuzzer target (clang, AddressSanitizer, UndefinedBehaviorSanitizer) and runs
# it for SECONDS (default 60): the arena (default), keys, the key table through Qt's real
# key and focus events, replay, the replay file reader, or net, the decoder of the online
# session's messages. Exits non-zero when an input crashes the game or breaks one of the
# target's rules; that input is kept in BUILD_DIR/fuzz-findings[-keys]/ and is replayed with:
# BUILD_DIR/tests/fuzz/vexlor_fuzz[_keys|_replay|_net] FILE
#
# Usage: scripts/fuzz.sh [SECONDS] [arena|keys|replay|net]   (BUILD_DIR: $VEXLOR_FUZZ_BUILD_DIR, default build-fuzz)
set -euo pipefail

readonly ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
readonly RUN_SECONDS=${1:-60}
readonly BUILD_DIR=${VEXLOR_FUZZ_BUILD_DIR:-$ROOT/build-fuzz}
case ${2:-arena} in
arena) readonly TARGET=vexlor_fuzz SUFFIX="" ;;
keys) readonly TARGET=vexlor_fuzz_keys SUFFIX=-keys ;;
replay) readonly TARGET=vexlor_fuzz_replay SUFFIX=-replay ;;
net) readonly TARGET=vexlor_fuzz_net SUFFIX=-net ;;
*) echo "usage: $0 [SECONDS] [arena|keys|replay|net]" >&2; exit 2 ;;
esac
[[ "$RUN_SECONDS" =~ ^[1-9][0-9]*$ ]] || { echo "usage: $0 [SECONDS] [arena|keys|replay|net]" >&2; exit 2; }
command -v clang++ >/dev/null || { echo "fuzz: clang++ is needed (apt-get install clang)" >&2; exit 2; }

mkdir -p "$BUILD_DIR"
cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVEXLOR_FUZZ=ON -DVEXLOR_BENCH=OFF >"$BUILD_DIR/configure.log" 2>&1 ||
    { cat "$BUILD_DIR/configure.log" >&2; exit 1; }
cmake --build "$BUILD_DIR" --target "$TARGET" -j "$(nproc)"

readonly CORPUS="$BUILD_DIR/fuzz-corpus$SUFFIX" FINDINGS="$BUILD_DIR/fuzz-findings$SUFFIX"
mkdir -p "$CORPUS" "$FINDINGS"
export LSAN_OPTIONS="suppressions=$ROOT/tests/lsan.supp"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

status=0
"$BUILD_DIR/tests/fuzz/$TARGET" -max_total_time="$RUN_SECONDS" -max_len=512 -len_control=0 -timeout=20 -rss_limit_mb=4096 \
    -artifact_prefix="$FINDINGS/" -print_final_stats=1 "$CORPUS" || status=$?
if ((status != 0)); then
    echo "fuzz: a finding (exit status $status); inputs in $FINDINGS:" >&2
    ls -1 "$FINDINGS" >&2
    exit 1
fi
echo "fuzz: no finding in $RUN_SECONDS s ($TARGET)"
