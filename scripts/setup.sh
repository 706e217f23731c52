# Shared by demo.sh and test.sh: install the Debian packages a stage needs,
# only those that are missing, announce the stages, and offer build and test
# functions.

# The build itself; the demo needs nothing more.
BRANTEL_BUILD_PACKAGES="g++ cmake ninja-build"
# The tests and benchmarks of the Linux builds.
BRANTEL_TEST_PACKAGES="libgtest-dev libgmock-dev libbenchmark-dev"
# The Windows cross build: compiler and windres, then wine (32-bit) and the
# GoogleTest sources to run its unit tests.
BRANTEL_WINDOWS_PACKAGES="g++-mingw-w64-i686 binutils-mingw-w64-i686"
BRANTEL_WINE_PACKAGES="wine wine32:i386 googletest"
# clang, the second compiler, and its runtime libraries (the sanitizers and
# libFuzzer) for the fuzz build; the runtime package carries clang's version.
BRANTEL_CLANG_PACKAGES="clang"

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

# brantel_stage <what>: announces the next stage in one line on stderr (the
# demo's standard output is the host's report), with the time the previous
# one took.
BRANTEL_STAGE_START=""
brantel_stage() {
  now="$(date +%s)"
  if [ -n "$BRANTEL_STAGE_START" ]; then
    echo "==> $1 (last stage: $((now - BRANTEL_STAGE_START)) s)" >&2
  else
    echo "==> $1" >&2
  fi
  BRANTEL_STAGE_START="$now"
}

# brantel_stage_done <what>: closes the last stage.
brantel_stage_done() {
  echo "==> $1 (last stage: $(($(date +%s) - BRANTEL_STAGE_START)) s)" >&2
}

# brantel_missing <package>...: prints those not installed.
brantel_missing() {
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      printf ' %s' "$pkg"
    fi
  done
}

# brantel_apt_install <package>...: installs the ones given.
brantel_apt_install() {
  echo "Installing: $*"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "$@"
}

# brantel_install <package>...: installs the ones given that are missing.
brantel_install() {
  missing="$(brantel_missing "$@")"
  [ -z "$missing" ] || brantel_apt_install $missing
}

brantel_install_clang() {
  brantel_install $BRANTEL_CLANG_PACKAGES
  brantel_install "libclang-rt-$(clang++ -dumpversion | cut -d. -f1)-dev"
}

# Wine runs 32-bit programs when Debian gives it with the i386 architecture;
# returns 1 when it cannot be had here.
brantel_install_wine() {
  missing="$(brantel_missing $BRANTEL_WINE_PACKAGES)"
  [ -z "$missing" ] && return 0
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386 || return 1
  fi
  brantel_apt_install $missing || return 1
}

# brantel_wine_runs <build-dir>: runs a small 32-bit Windows program under
# wine, in the wine prefix the build's tests use, and returns 0 when it ran
# and returned what it should. A kernel without 32-bit execution refuses
# wine's loader at once ("Exec format error"); otherwise this takes a few
# seconds, spent mostly on the prefix the tests need anyway. Sets
# BRANTEL_WINE_WHY to the reason when it fails.
brantel_wine_runs() {
  dir="$1"
  probe="$dir/wine-probe"
  mkdir -p "$probe"
  printf 'int main(void) { return 42; }\n' >"$probe/probe.c"
  if ! i686-w64-mingw32-gcc -o "$probe/probe.exe" "$probe/probe.c" 2>"$probe/log"; then
    BRANTEL_WINE_WHY="the probe program cannot be compiled: $(tail -n 1 "$probe/log")"
    return 1
  fi
  status=0
  WINEPREFIX="$dir/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    timeout 120 wine "$probe/probe.exe" >"$probe/log" 2>&1 </dev/null || status=$?
  [ "$status" -eq 42 ] && return 0
  reason="$(grep -v '^wine: \(created\|configuration\)' "$probe/log" | tail -n 1)"
  BRANTEL_WINE_WHY="a 32-bit Windows program under wine exited with $status${reason:+: $reason}"
  # The tests would make their own prefix; leave none half-made.
  rm -rf "$dir/wine-prefix"
  return 1
}

# brantel_build <build-dir> [extra cmake args...]: configures and builds,
# in parallel as CMAKE_BUILD_PARALLEL_LEVEL says, else on every core.
brantel_build() {
  dir="$1"; shift
  cmake -S "$BRANTEL_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  if [ -n "${CMAKE_BUILD_PARALLEL_LEVEL:-}" ]; then
    cmake --build "$dir"
  else
    cmake --build "$dir" -j "$(nproc)"
  fi
}

# brantel_ctest <build-dir> [ctest args...]: runs a build's tests, in
# parallel as CTEST_PARALLEL_LEVEL says, else on every core.
brantel_ctest() {
  dir="$1"; shift
  if [ -n "${CTEST_PARALLEL_LEVEL:-}" ]; then
    ctest --test-dir "$dir" --output-on-failure "$@"
  else
    ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" "$@"
  fi
}

# brantel_fuzz <build-dir> <seconds>: runs the host's fuzz target of a
# BRANTEL_FUZZ build from the seed corpus for that long; fails on any
# finding, which it leaves in <build-dir>/fuzz-findings.
brantel_fuzz() {
  dir="$1"; seconds="$2"
  mkdir -p "$dir/fuzz-corpus" "$dir/fuzz-findings"
  echo "Fuzzing the host for $seconds s (log: $dir/fuzz.log)"
  if ! ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      "$dir/tests/fuzz/fuzz_host" -max_total_time="$seconds" -timeout=25 -max_len=1024 -close_fd_mask=2 \
        -dict="$BRANTEL_ROOT/tests/fuzz/host.dict" -artifact_prefix="$dir/fuzz-findings/" \
        "$dir/fuzz-corpus" "$BRANTEL_ROOT/tests/fuzz/corpus" >"$dir/fuzz.log" 2>&1; then
    tail -n 60 "$dir/fuzz.log"
    echo "The fuzzer found a fault; the input is in $dir/fuzz-findings."
    return 1
  fi
  tail -n 1 "$dir/fuzz.log"
}
