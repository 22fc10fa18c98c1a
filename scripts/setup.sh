#!/usr/bin/env bash
# Installs what the configurator needs on Debian and builds it into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
PACKAGES="build-essential cmake ninja-build ccache qt6-base-dev qt6-serialport-dev qt6-translations-l10n libgl-dev socat xvfb xauth fonts-dejavu-core fonts-liberation2"
missing=""
for p in $PACKAGES; do
  dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
if [ -n "$missing" ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
