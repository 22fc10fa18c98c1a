#!/usr/bin/env bash
# Installs those of the Debian packages named that are missing:
#   scripts/need_packages.sh PACKAGE...
set -euo pipefail
missing=""
for p in "$@"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
if [ -n "$missing" ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
fi
