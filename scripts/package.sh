#!/usr/bin/env bash
# Builds the Debian package of the game in build-package/ (no tests, no benchmarks: only
# what the package holds) and prints the path of the .deb it made.
#   scripts/package.sh          build the package
#   scripts/package.sh install  first install what building it needs, then install it
# As root, or as a user with sudo.
set -euo pipefail
cd "$(dirname "$0")/.."
readonly BUILD_DIR=build-package
sudo=$(command -v sudo || true)

case "${1:-}" in
install) install=yes ;;
"") install="" ;;
*) echo "usage: $0 [install]" >&2; exit 2 ;;
esac

if [[ -n "$install" ]]; then
    # file and dpkg-dev: cpack reads the program's libraries with them for the dependencies.
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
        build-essential cmake qt6-base-dev qt6-websockets-dev libsdl2-dev libxcb1-dev file dpkg-dev
fi

cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXLOR_TESTS=OFF -DVEXLOR_BENCH=OFF
cmake --build "$BUILD_DIR" -j"$(nproc)"
rm -f "$BUILD_DIR"/vexlor_*.deb
(cd "$BUILD_DIR" && cpack -G DEB)
debs=("$BUILD_DIR"/vexlor_*.deb)
((${#debs[@]} == 1)) && [[ -f "${debs[0]}" ]] || { echo "package: no single .deb in $BUILD_DIR" >&2; exit 1; }

if [[ -n "$install" ]]; then
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y "./${debs[0]}"
fi
echo "package: ${debs[0]}"
