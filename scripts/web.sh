#!/usr/bin/env bash
# The browser edition.
#   scripts/web.sh build          builds the page into build-web/ (build-web/page/index.html)
#   scripts/web.sh serve [PORT]   builds it if needed and serves it at http://127.0.0.1:PORT/
#                                 (8080 by default) until stopped
#   scripts/web.sh measure [S]    builds it and measures it in headless chromium: size, start
#                                 to first frame, and at 1000 x 700 and 1920 x 1080 the CPU
#                                 while playing beside a floor page, rounds of S seconds (20)
# Needs emscripten (Debian's package); its tools find Debian's node modules through NODE_PATH.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VEXLOR_WEB_BUILD:-$root/build-web}"
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"

build_page() {
    emcmake cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build" -j2 --target vexlor_page vexlor_frames vexlor_replay_check
}

case "${1:-}" in
build)
    build_page
    ;;
serve)
    port="${2:-8080}"
    [[ -f "$build/page/index.html" ]] || build_page
    echo "Vexlor at http://127.0.0.1:$port/ (Ctrl+C stops)"
    exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$build/page"
    ;;
measure)
    build_page
    [[ -d "$root/tests/web/node_modules/puppeteer-core" ]] ||
        PUPPETEER_SKIP_DOWNLOAD=1 npm ci --prefix "$root/tests/web" --no-audit --no-fund
    node "$root/scripts/web-measure.mjs" "$build/page" "${2:-20}"
    ;;
*)
    echo "usage: $0 build | serve [PORT] | measure [SECONDS]" >&2
    exit 2
    ;;
esac
