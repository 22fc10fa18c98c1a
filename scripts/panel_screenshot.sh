#!/usr/bin/env bash
# Screenshot of ostrel-panel showing the example project's page 1, taken
# under Xvfb from the example's writes recorded by ostrel-cli (the scheme,
# page 2, then page 1, so that page 1 is shown):
#   scripts/panel_screenshot.sh OUT.png
# Needs xvfb, x11-apps (xwd), imagemagick and xdotool; builds into build/.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "$1")
cmake --build "$root/build" --target ostrel-panel ostrel-cli >/dev/null || exit 1
tmp=$(mktemp -d)
cli="$root/build/src/cli/ostrel-cli"
project="$root/examples/boiler.prt"
"$cli" write-scheme "$project" --dump "$tmp/scheme.bin" >/dev/null || exit 1
"$cli" write-pages "$project" --page 2 --dump "$tmp/page2.bin" >/dev/null || exit 1
"$cli" write-pages "$project" --page 1 --dump "$tmp/page1.bin" >/dev/null || exit 1
Xvfb :78 -screen 0 1200x1000x24 >/dev/null 2>&1 & XP=$!
sleep 1
export DISPLAY=:78
"$root/build/src/panel/ostrel-panel" --dump "$tmp/scheme.bin" "$tmp/page2.bin" "$tmp/page1.bin" --project "$root/examples/boiler.prt" \
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
