# Shared by demo.sh and test.sh: install the Debian packages the build needs,
# only those that are missing, then offer a build function.

BRANTEL_PACKAGES="g++ cmake ninja-build libgtest-dev libgmock-dev libbenchmark-dev"
# The Windows cross build: compiler and windres, then wine (32-bit) and the
# GoogleTest sources to run its unit tests.
BRANTEL_WINDOWS_PACKAGES="g++-mingw-w64-i686 binutils-mingw-w64-i686"
BRANTEL_WINE_PACKAGES="wine wine32:i386 googletest"

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
