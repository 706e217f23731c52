#!/bin/sh
# Build and run every test: the Windows cross build (its unit tests under
# wine), then a plain build and one under AddressSanitizer and
# UndefinedBehaviorSanitizer, both of which also read the Windows DLLs as
# PE files, then the sanitizer build with clang and the host's fuzz target.
set -e
BRANTEL_ROOT="$(cd "$(dirname "$0")/.." && pwd)"
. "$BRANTEL_ROOT/scripts/setup.sh"
brantel_install_missing

brantel_install_cross
if brantel_install_wine; then
  wine=ON
else
  wine=OFF
  echo "Windows build: wine cannot be installed here; its unit tests are not run."
fi
brantel_build "$BRANTEL_ROOT/build-win32" -DCMAKE_TOOLCHAIN_FILE="$BRANTEL_ROOT/cmake/mingw-i686.cmake" \
  -DBRANTEL_BENCH=OFF -DBRANTEL_WINE_TESTS=$wine
ctest --test-dir "$BRANTEL_ROOT/build-win32" --output-on-failure -j "$(nproc)"

brantel_build "$BRANTEL_ROOT/build"
ctest --test-dir "$BRANTEL_ROOT/build" --output-on-failure -j "$(nproc)"

brantel_build "$BRANTEL_ROOT/build-asan" -DBRANTEL_SANITIZE=ON -DBRANTEL_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$BRANTEL_ROOT/build-asan" --output-on-failure -j "$(nproc)"

# clang as a second compiler, with the sanitizers and the fuzzer's coverage
# in every module: every test again, then the host's fuzz target for a
# bounded time.
brantel_install_clang
brantel_build "$BRANTEL_ROOT/build-clang-fuzz" -DCMAKE_CXX_COMPILER=clang++ -DBRANTEL_SANITIZE=ON -DBRANTEL_FUZZ=ON \
  -DBRANTEL_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$BRANTEL_ROOT/build-clang-fuzz" --output-on-failure -j "$(nproc)"
brantel_fuzz "$BRANTEL_ROOT/build-clang-fuzz" 60
echo "All tests passed (Windows build, unit tests under wine: $wine; plain and sanitizer builds; clang with"
echo "the sanitizers; the fuzz target found nothing in 60 s)."
