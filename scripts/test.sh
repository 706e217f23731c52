#!/bin/sh
# Build and run every test: the Windows cross build (its unit tests under
# wine, where this machine runs 32-bit programs), then a plain build and one
# under AddressSanitizer and UndefinedBehaviorSanitizer, both of which also
# read the Windows DLLs as PE files, then the sanitizer build with clang and
# the host's fuzz target. Each stage is announced in one line.
set -e
BRANTEL_ROOT="$(cd "$(dirname "$0")/.." && pwd)"
. "$BRANTEL_ROOT/scripts/setup.sh"
# Read by the sanitizer builds' programs only.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

brantel_stage "Installing what the builds and tests need"
brantel_install $BRANTEL_BUILD_PACKAGES $BRANTEL_TEST_PACKAGES $BRANTEL_WINDOWS_PACKAGES

brantel_stage "Windows cross build"
win="$BRANTEL_ROOT/build-win32"
wine=OFF
mkdir -p "$win"
if ! brantel_install_wine; then
  wine_skipped="wine cannot be installed here"
elif ! brantel_wine_runs "$win"; then
  wine_skipped="this machine cannot run them: $BRANTEL_WINE_WHY"
else
  wine=ON
fi
brantel_build "$win" -DCMAKE_TOOLCHAIN_FILE="$BRANTEL_ROOT/cmake/mingw-i686.cmake" \
  -DBRANTEL_BENCH=OFF -DBRANTEL_WINE_TESTS=$wine
if [ "$wine" = ON ]; then
  brantel_stage "Windows unit tests under wine"
  brantel_ctest "$win"
else
  brantel_stage "Windows unit tests under wine: skipped, $wine_skipped (the DLLs are still read as PE files below)"
fi

brantel_stage "Plain build and its tests"
brantel_build "$BRANTEL_ROOT/build"
brantel_ctest "$BRANTEL_ROOT/build"

brantel_stage "g++ build with the sanitizers and its tests"
brantel_build "$BRANTEL_ROOT/build-asan" -DBRANTEL_SANITIZE=ON -DBRANTEL_BENCH=OFF
brantel_ctest "$BRANTEL_ROOT/build-asan"

# clang as a second compiler, with the sanitizers and the fuzzer's coverage
# in every module: every test again, then the host's fuzz target for a
# bounded time.
brantel_stage "clang build with the sanitizers and the fuzzer's coverage, and its tests"
brantel_install_clang
brantel_build "$BRANTEL_ROOT/build-clang-fuzz" -DCMAKE_CXX_COMPILER=clang++ -DBRANTEL_SANITIZE=ON -DBRANTEL_FUZZ=ON \
  -DBRANTEL_BENCH=OFF
brantel_ctest "$BRANTEL_ROOT/build-clang-fuzz"

brantel_stage "Fuzzing the host"
brantel_fuzz "$BRANTEL_ROOT/build-clang-fuzz" 60
brantel_stage_done "All tests passed"
if [ "$wine" = ON ]; then
  echo "Windows unit tests run under wine; plain and sanitizer builds; clang with the sanitizers; the fuzz target found nothing in 60 s."
else
  echo "Windows unit tests not run ($wine_skipped); plain and sanitizer builds; clang with the sanitizers; the fuzz target found nothing in 60 s."
fi
