#!/usr/bin/env bash
# Builds the Debian package of the station: the release tree of ./run.sh
# (build/release) with its install rules, man pages and sounds, then CPack.
# The package lands in build/package/kestrel4_VERSION_ARCH.deb.
set -euo pipefail
cd "$(dirname "$0")/.."
./tools/setup.sh

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTREL4_TESTS=OFF \
  -DKESTREL4_PACKAGE=ON >/dev/null
cmake --build build/release -j "$(nproc)"
rm -f build/package/kestrel4_*.deb
(cd build/release && cpack -G DEB -B "$PWD/../package" >/dev/null)
ls build/package/kestrel4_*.deb
