#!/usr/bin/env bash
# The line between the game with its window layer and the desktop backend: no source file
# under src/ outside src/platform/qt/ includes a Qt header (or one of the backend's), and no
# object file of the game library references a Qt symbol.
#
# Usage: toolkit-line.sh SRC_DIR OBJECT...
set -euo pipefail
readonly src=${1:?usage: $0 SRC_DIR OBJECT...}
shift
(($# > 0)) || { echo "FAIL: no object files given" >&2; exit 1; }

status=0
# Qt's headers: QClassName, QtModule/..., q-prefixed lower-case ones like qdrawutil.h.
includes=$(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](Q[A-Za-z]|Qt[A-Za-z]*/|q[a-z]+\.h|platform/qt/)' \
    --include='*.cpp' --include='*.h' "$src" | grep -v "^$src/platform/qt/" || true)
if [[ -n "$includes" ]]; then
    echo "FAIL: Qt headers included outside src/platform/qt:" >&2
    echo "$includes" >&2
    status=1
fi

# Undefined symbols, demangled: Qt's classes and namespaces (QWidget::, Qt::), its functions
# (qGray, qt_assert) and its metaobject machinery.
checked=0
for object in "$@"; do
    [[ -f "$object" ]] || { echo "FAIL: no object file $object" >&2; status=1; continue; }
    symbols=$(nm -C --undefined-only "$object" | grep -E '(^|[^A-Za-z0-9_])(Q[A-Z][A-Za-z0-9_]*|Qt|q[A-Z][A-Za-z0-9_]*|qt_[A-Za-z0-9_]*)([^A-Za-z0-9_]|$)' || true)
    if [[ -n "$symbols" ]]; then
        echo "FAIL: $object references Qt:" >&2
        echo "$symbols" >&2
        status=1
    fi
    ((++checked))
done
((status == 0)) && echo "toolkit line holds: no Qt include outside src/platform/qt, $checked objects free of Qt symbols"
exit "$status"
