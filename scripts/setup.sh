# Shared by demo.sh and test.sh: install the Debian packages the build needs,
# only those that are missing, then offer a build function.

BRANTEL_PACKAGES="g++ cmake ninja-build libgtest-dev libgmock-dev libbenchmark-dev"

brantel_install_missing() {
  missing=""
  for pkg in $BRANTEL_PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing="$missing $pkg"
    fi
  done
  [ -z "$missing" ] && return 0
  echo "Installing:$missing"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends $missing
}

# brantel_build <build-dir> [extra cmake args...]
brantel_build() {
  dir="$1"; shift
  cmake -S "$BRANTEL_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  cmake --build "$dir" -j "$(nproc)"
}
