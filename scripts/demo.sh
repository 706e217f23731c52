#!/bin/sh
# Build and run the host on its built-in default model.
set -e
BRANTEL_ROOT="$(cd "$(dirname "$0")/.." && pwd)"
. "$BRANTEL_ROOT/scripts/setup.sh"
brantel_install_missing
brantel_build "$BRANTEL_ROOT/build-demo" -DBRANTEL_TESTS=OFF -DBRANTEL_BENCH=OFF >/dev/null
"$BRANTEL_ROOT/build-demo/vqhost" "$@"
