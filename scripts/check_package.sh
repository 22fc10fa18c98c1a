#!/usr/bin/env bash
# Checks the Debian package made by scripts/package.sh the way a user gets
# it: lintian reports no error, `apt-get install` installs it, the three
# programs run from the PATH, their manual pages are found, and `apt-get
# remove` takes it away again (a copy installed before is removed as well).
# Needs root, or sudo, for apt-get.
#   scripts/check_package.sh [PACKAGE.deb]
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(realpath "${1:-$(ls build-rel/ostrel-*.deb | head -n 1)}")
SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
scripts/need_packages.sh lintian man-db

name=$(dpkg-deb -f "$deb" Package)
version=$(dpkg-deb -f "$deb" Version)
echo "package: $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB"
# lintian fails on errors only; its warnings are explained in the README.
lintian --info "$deb" || { echo "lintian found errors"; exit 1; }

work=$(mktemp -d)
cleanup() {
  if dpkg -s "$name" >/dev/null 2>&1; then
    $SUDO apt-get remove -y -qq "$name" >/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# The dependencies come from the archive: fetch its lists if they are too old.
if ! $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1; then
  $SUDO apt-get update -qq
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1 \
    || { cat "$work/apt.log"; exit 1; }
fi

fail() { echo "FAIL: $*"; exit 1; }
for program in ostrel-configurator ostrel-cli ostrel-panel; do
  [ "$(command -v $program)" = "/usr/bin/$program" ] || fail "$program is $(command -v $program), not /usr/bin/$program"
  [ "$(env -u DISPLAY -u WAYLAND_DISPLAY $program --version)" = "$program $version" ] || fail "$program --version"
done
usage=$(ostrel-panel --help) || fail "ostrel-panel --help"
[[ $usage == "usage: ostrel-panel "* ]] || fail "ostrel-panel --help printed: $usage"

examples=/usr/share/ostrel/examples
ostrel-cli scheme $examples/boiler.net >"$work/scheme.json" || fail "ostrel-cli scheme on the example"
grep -q '"blocks"' "$work/scheme.json" || fail "ostrel-cli scheme printed no blocks"
# The packaged program reads the example exactly as the tested build does.
if [ -x build/src/cli/ostrel-cli ]; then
  build/src/cli/ostrel-cli scheme examples/boiler.net | cmp -s - "$work/scheme.json" \
    || fail "the packaged ostrel-cli prints another block table than build/src/cli/ostrel-cli"
fi
# A write recorded by ostrel-cli decodes in the panel without a window.
ostrel-cli write-scheme $examples/boiler.prt --dump "$work/scheme.bin" >/dev/null || fail "ostrel-cli write-scheme"
ostrel-panel --headless --dump "$work/scheme.bin" --project $examples/boiler.prt >/dev/null \
  || fail "ostrel-panel did not decode the example's scheme"

# Where dpkg is told to leave manual pages out (path-exclude), the package
# still has to carry them.
for program in ostrel-configurator ostrel-cli ostrel-panel; do
  if ! man -w $program >/dev/null 2>&1; then
    grep -qs '^path-exclude.*/usr/share/man' /etc/dpkg/dpkg.cfg.d/* || fail "man -w $program"
    dpkg-deb -c "$deb" | grep "man1/$program.1.gz" >/dev/null || fail "no manual page $program.1.gz in the package"
    echo "note: dpkg leaves manual pages out on this machine; $program.1.gz is in the package"
  fi
done
[ -r /usr/share/bash-completion/completions/ostrel-cli ] || fail "no bash completion"

$SUDO apt-get remove -y -qq "$name" >/dev/null
for left in /usr/bin/ostrel-cli /usr/share/ostrel /usr/share/man/man1/ostrel-cli.1.gz; do
  [ ! -e "$left" ] || fail "$left is still there after apt-get remove"
done
echo "package check: installed, ran ostrel-configurator, ostrel-cli and ostrel-panel from the PATH, removed"
