#!/usr/bin/env bash
# Screenshot of the configurator on the example project, taken under Xvfb:
#   scripts/screenshot.sh OUT.png ["xdotool ..." ...]
# Each extra argument is a shell command run (1.5 s apart) before the shot,
# e.g. "xdotool mousemove 280 100 click 1" to click the algorithm block.
# Needs xvfb, x11-apps (xwd), imagemagick and xdotool.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "$1"); shift
Xvfb :77 -screen 0 1400x900x24 >/dev/null 2>&1 & XP=$!
sleep 1
export DISPLAY=:77
(cd "$root/examples" && exec "$root/build/ostrel-configurator" boiler.prt) >/dev/null 2>&1 & AP=$!
sleep 3
for c in "$@"; do eval "$c"; sleep 1.5; done
xwd -root -silent | convert xwd:- "$out"
kill $AP; sleep 0.5; kill $XP
