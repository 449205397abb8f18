#!/usr/bin/env bash
# Frame for frame: the driver built natively and the driver built with emscripten (run
# under node) get the same input script and clock; every hash they print must agree.
# Usage: compare.sh NATIVE_DRIVER BROWSER_DRIVER_JS [TICKS]
set -euo pipefail
native=$1 browser=$2 ticks=${3:-10000}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$native" "$ticks" >"$dir/native"
node "$browser" "$ticks" >"$dir/browser"
expected=$((ticks / 100))
for build in native browser; do
    lines=$(wc -l <"$dir/$build")
    ((lines == expected)) || { echo "the $build driver printed $lines frames of $expected"; exit 1; }
done
first=$(diff <(cat "$dir/native") <(cat "$dir/browser") | awk '/^</ { print substr($0, 3); exit }')
if [[ -n "$first" ]]; then
    tick=$(awk '{ print $2 }' <<<"$first")
    echo "frames differ first at tick $tick:"
    grep "^tick $tick " "$dir/native" | sed 's/^/  native:  /'
    grep "^tick $tick " "$dir/browser" | sed 's/^/  browser: /'
    exit 1
fi
echo "$expected frames of $ticks ticks are the same in both builds"
