# Shared by demo.sh and test.sh: install the Debian packages the build needs,
# only those that are missing, then offer a build function.

BRANTEL_PACKAGES="g++ cmake ninja-build libgtest-dev libgmock-dev libbenchmark-dev"
# The Windows cross build: compiler and windres, then wine (32-bit) and the
# GoogleTest sources to run its unit tests.
BRANTEL_WINDOWS_PACKAGES="g++-mingw-w64-i686 binutils-mingw-w64-i686"
BRANTEL_WINE_PACKAGES="wine wine32:i386 googletest"
# clang, the second compiler, and its runtime libraries (the sanitizers and
# libFuzzer) for the fuzz build; the runtime package carries clang's version.
BRANTEL_CLANG_PACKAGES="clang"

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

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

brantel_install_missing() {
  missing="$(brantel_missing $BRANTEL_PACKAGES)"
  [ -z "$missing" ] || brantel_apt_install $missing
}

brantel_install_cross() {
  missing="$(brantel_missing $BRANTEL_WINDOWS_PACKAGES)"
  [ -z "$missing" ] || brantel_apt_install $missing
}

brantel_install_clang() {
  missing="$(brantel_missing $BRANTEL_CLANG_PACKAGES)"
  [ -z "$missing" ] || brantel_apt_install $missing
  major="$(clang++ -dumpversion | cut -d. -f1)"
  missing="$(brantel_missing "libclang-rt-$major-dev")"
  [ -z "$missing" ] || brantel_apt_install $missing
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

# brantel_build <build-dir> [extra cmake args...]
brantel_build() {
  dir="$1"; shift
  cmake -S "$BRANTEL_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  cmake --build "$dir" -j "$(nproc)"
}
