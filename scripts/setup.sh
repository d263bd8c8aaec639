#!/usr/bin/env bash
# Installs what the build needs from Debian's packages, builds, and then runs the analyzer
# ("run") or every test ("test"). Safe to run again: installs only what is missing and
# rebuilds incrementally.
#   bash scripts/setup.sh run     the analyzer against the simulated module
#   bash scripts/setup.sh test    every test
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${KORVEX_BUILD_DIR:-$ROOT/build}
PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
          libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev libgl-dev fonts-nanum-coding fonts-nanum
          help2man desktop-file-utils appstream dpkg-dev python3-can can-utils file
          python3-canmatrix qt6-charts-dev libqt6opengl6-dev
          qt6-l10n-tools qt6-tools-dev qt6-translations-l10n)

install_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  cmake --build "$BUILD" -j "$(nproc)"
}

case "${1:-}" in
  test)
    install_packages
    build
    ctest --test-dir "$BUILD" --output-on-failure -j "$(nproc)"
    ;;
  run)
    install_packages
    build
    if [ -x "$BUILD/app/korvex-analyzer" ]; then
      exec "$BUILD/app/korvex-analyzer" --simulate
    elif [ -x "$BUILD/cli/korvex-cli" ] && [ -x "$BUILD/sim/korvex-sim" ]; then
      echo "The window is not built yet; talking to the simulated module with korvex-cli."
      link="$BUILD/korvex-sim.tty"
      "$BUILD/sim/korvex-sim" --link "$link" --rate 20 >/dev/null &
      sim=$!
      trap 'kill $sim 2>/dev/null' EXIT
      for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done
      cli=("$BUILD/cli/korvex-cli" --port "$link" --baud 921600)
      "${cli[@]}" version
      "${cli[@]}" read-config
      "${cli[@]}" --timestamps monitor --seconds 3
    else
      echo "Only the core library and its tests exist so far; running the tests instead."
      ctest --test-dir "$BUILD" --output-on-failure -j "$(nproc)"
    fi
    ;;
  *)
    echo "usage: bash scripts/setup.sh run|test" >&2
    exit 2
    ;;
esac
