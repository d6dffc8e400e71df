#!/usr/bin/env bash
# Sets up a Debian 12 machine for Tessarin, builds it, and then:
#   ./build.sh run    opens the window on the bundled sample sets
#   ./build.sh test   runs the whole test suite
# Run it as root, or as a user who may use sudo (only the package installation needs it).
set -euo pipefail
cd "$(dirname "$0")"

mode=${1:-run}
case "$mode" in
  run | test) ;;
  *) echo "usage: $0 [run|test]" >&2; exit 1 ;;
esac

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-image-formats-plugins
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libdeflate-dev
  libgtest-dev libbenchmark-dev zlib1g-dev libpng-dev imagemagick
  fonts-ipafont-gothic
)
tools/install-missing-packages.sh "${packages[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build

if [ "$mode" = run ]; then
  if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec ./build/bin/tessarin
  fi
  echo "No display to open the window on; composing a random character headless instead."
  ./build/bin/tessarin-compose --set デフォルト --random all -o tessarin-character.png
else
  ctest --test-dir build --output-on-failure -j "$(nproc)"
fi
