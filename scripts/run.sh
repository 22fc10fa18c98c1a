#!/usr/bin/env bash
# Sets up, builds and starts the configurator on the bundled example project.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
project=examples/boiler.prt
if [ -f "$project" ]; then
  exec build/ostrel-configurator "$project"
fi
exec build/ostrel-configurator
