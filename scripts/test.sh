#!/bin/sh
# Build and run every test twice: a plain build and one under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -e
BRANTEL_ROOT="$(cd "$(dirname "$0")/.." && pwd)"
. "$BRANTEL_ROOT/scripts/setup.sh"
brantel_install_missing

brantel_build "$BRANTEL_ROOT/build"
ctest --test-dir "$BRANTEL_ROOT/build" --output-on-failure -j "$(nproc)"

brantel_build "$BRANTEL_ROOT/build-asan" -DBRANTEL_SANITIZE=ON -DBRANTEL_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$BRANTEL_ROOT/build-asan" --output-on-failure -j "$(nproc)"
echo "All tests passed (plain and sanitizer builds)."
