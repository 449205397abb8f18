#!/usr/bin/env bash
# Bakes the default font's glyphs into src/platform/gdi/FontData.cpp. With --check it only
# renders them again and compares with the committed data, exiting 1 on any difference.
# Needs qt6-base-dev and fonts-dejavu-core (only to bake: the game itself needs neither
# the font nor a font engine). Builds the generator in build-bakefont/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-bakefont -DVEXLOR_BAKE_FONT=ON -DVEXLOR_BENCH=OFF >/dev/null
cmake --build build-bakefont -j"$(nproc)" --target vexlor_bakefont
export QT_QPA_PLATFORM=offscreen
if [[ "${1:-}" == --check ]]; then
  exec build-bakefont/tools/bakefont/vexlor_bakefont --check
fi
build-bakefont/tools/bakefont/vexlor_bakefont src/platform/gdi/FontData.cpp
echo "baked src/platform/gdi/FontData.cpp; run $0 --check to confirm"
