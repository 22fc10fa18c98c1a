#!/usr/bin/env bash
# Screenshot of the configurator on the example project, taken under Xvfb:
#   scripts/screenshot.sh OUT.png ["xdotool ..." ...]
# Each extra argument is a shell command run (1.5 s apart) before the shot,
# e.g. "xdotool mousemove 280 100 click 1" to click the algorithm block.
# SCREEN_SIZE (default 1400x900) and SCREEN_NUMBER (default 77) choose the
# virtual screen. Needs xvfb, x11-apps (xwd), imagemagick and xdotool.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "$1"); shift
Xvfb :${SCREEN_NUMBER:-77} -screen 0 ${SCREEN_SIZE:-1400x900}x24 >/dev/null 2>&1 & XP=$!
sleep 1
export DISPLAY=:${SCREEN_NUMBER:-77}
(cd "$root/examples" && exec "$root/build/ostrel-configurator" boiler.prt) >/dev/null 2>&1 & AP=$!
sleep 3
for c in "$@"; do eval "$c"; sleep 1.5; done
# Without a window manager a root capture leaves some windows black: grab
# every visible top-level window on its own and lay them over the root.
tmp=$(mktemp -d)
xwd -root -silent | convert xwd:- "$tmp/root.png"
layers=("$tmp/root.png")
for w in $(xdotool search --onlyvisible --name "" 2>/dev/null); do
  geo=$(xdotool getwindowgeometry --shell "$w") || continue
  eval "$geo"
  [ "$WIDTH" -ge "${SCREEN_SIZE%%x*}" ] && continue
  xwd -id "$w" -silent 2>/dev/null | convert xwd:- "$tmp/$w.png" 2>/dev/null || continue
  layers+=(-page "+$X+$Y" "$tmp/$w.png")
done
convert "${layers[@]}" -flatten "$out"
rm -rf "$tmp"
kill $AP; sleep 0.5; kill $XP
