#!/usr/bin/env bash
# Installs what is missing, builds the test build (AddressSanitizer and
# UndefinedBehaviorSanitizer), the fuzz targets and the Debian package, and
# runs every test.
set -euo pipefail
cd "$(dirname "$0")"
./tools/setup.sh

jobs=$(nproc)
export TZ=Europe/Warsaw
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTREL4_SANITIZE=ON >/dev/null
cmake --build build/test -j "$jobs"

CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKESTREL4_FUZZ=ON -DKESTREL4_FUZZ_SECONDS="${KESTREL4_FUZZ_SECONDS:-20}" >/dev/null
cmake --build build/fuzz -j "$jobs"

# The Debian package of the release tree; the DebianPackage test reads it
# and checks its service units with systemd-analyze.
./tools/package.sh

# The fuzz targets first, each for a bounded time; the unit and integration
# tests last, so their summary closes the output.
status=0
ctest --test-dir build/fuzz --output-on-failure -j "$jobs" || status=1
ctest --test-dir build/test --output-on-failure -j "$jobs" || status=1
exit $status
