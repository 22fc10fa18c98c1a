#!/usr/bin/env bash
# Installs what the configurator needs on Debian and builds it into build/.
#   scripts/setup.sh [--packages-only]
set -euo pipefail
cd "$(dirname "$0")/.."
PACKAGES="build-essential cmake ninja-build ccache qt6-base-dev qt6-serialport-dev qt6-translations-l10n libgl-dev socat xvfb xauth fonts-dejavu-core fonts-liberation2 bash-completion"
# shellcheck disable=SC2086
scripts/need_packages.sh $PACKAGES
[ "${1:-}" = "--packages-only" ] && exit 0
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
