#!/usr/bin/env bash
# Builds everything in build/ and runs every test, unit and real-window.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure
