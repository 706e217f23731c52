#!/bin/sh
# Build and run the host on its built-in default model. Standard output is
# the host's report alone; progress goes to stderr.
set -e
BRANTEL_ROOT="$(cd "$(dirname "$0")/.." && pwd)"
. "$BRANTEL_ROOT/scripts/setup.sh"
brantel_stage "Installing what the build needs"
brantel_install $BRANTEL_BUILD_PACKAGES >&2
brantel_stage "Building the library and the host (log: build-demo/build.log)"
mkdir -p "$BRANTEL_ROOT/build-demo"
if ! brantel_build "$BRANTEL_ROOT/build-demo" -DBRANTEL_TESTS=OFF -DBRANTEL_BENCH=OFF \
    >"$BRANTEL_ROOT/build-demo/build.log" 2>&1; then
  tail -n 40 "$BRANTEL_ROOT/build-demo/build.log" >&2
  exit 1
fi
brantel_stage "Running the host"
"$BRANTEL_ROOT/build-demo/vqhost" "$@"
