#!/usr/bin/env bash
# Screenshot of ostrel-panel showing the example project's page 1, taken
# under Xvfb from a recorded write stream of the example:
#   scripts/panel_screenshot.sh OUT.png
# Needs xvfb, x11-apps (xwd), imagemagick and xdotool; builds into build/.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "$1")
cmake --build "$root/build" --target ostrel-panel make_panel_stream >/dev/null || exit 1
tmp=$(mktemp -d)
"$root/build/tests/panel/make_panel_stream" "$tmp/example.bin" >/dev/null || exit 1
Xvfb :78 -screen 0 1200x1000x24 >/dev/null 2>&1 & XP=$!
sleep 1
export DISPLAY=:78
"$root/build/src/panel/ostrel-panel" --dump "$tmp/example.bin" --project "$root/examples/boiler.prt" \
  --values "$root/examples/boiler-values.json" >/dev/null 2>&1 & AP=$!
sleep 3
w=$(xdotool search --onlyvisible --name "виртуальный контроллер" 2>/dev/null | head -1)
if [ -n "$w" ]; then
  xwd -id "$w" -silent | convert xwd:- "$out"
else
  xwd -root -silent | convert xwd:- "$out"
fi
kill $AP; sleep 0.5; kill $XP
rm -rf "$tmp"
