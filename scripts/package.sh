#!/usr/bin/env bash
# Sets up, builds in Release (the programs only, into build-rel/) and makes
# the Debian package: build-rel/ostrel-configurator_VERSION_ARCH.deb.
set -euo pipefail
cd "$(dirname "$0")/.."
umask 022 # the package's folders and files as Debian has them
scripts/setup.sh --packages-only
# CPack reads the programs' library dependencies with dpkg-shlibdeps, which
# needs file.
scripts/need_packages.sh file dpkg-dev
# Objects compiled in another checkout of the same sources are reused.
export CCACHE_BASEDIR="$PWD"
cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=Release -DOSTREL_BUILD_TESTS=OFF \
  "-DCMAKE_CXX_FLAGS=-D_FORTIFY_SOURCE=2 -fstack-protector-strong" \
  "-DCMAKE_EXE_LINKER_FLAGS=-Wl,-z,relro,-z,now" >/dev/null
cmake --build build-rel -j2
rm -f build-rel/ostrel-*.deb
(cd build-rel && cpack -G DEB >/dev/null)
ls build-rel/ostrel-*.deb
