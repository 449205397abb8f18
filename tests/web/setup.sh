#!/usr/bin/env bash
# Before the browser tests: the page and the driver built with emscripten into $1, and the
# test driver's npm packages (puppeteer-core, from the lock file) when they are missing.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
VEXLOR_WEB_BUILD="$1" bash "$here/../../scripts/web.sh" build
if [[ ! -d "$here/node_modules/puppeteer-core" ]]; then
    PUPPETEER_SKIP_DOWNLOAD=1 npm ci --prefix "$here" --no-audit --no-fund
fi
