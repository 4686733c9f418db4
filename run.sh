#!/usr/bin/env bash
# The main job on the built-in demo: builds the programs, makes a fresh demo
# installation under the build tree and shows what the station will run on.
set -euo pipefail
cd "$(dirname "$0")"
./tools/setup.sh

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTREL4_TESTS=OFF >/dev/null
cmake --build build/release -j "$(nproc)"

demo=build/demo
./build/release/tools/kestrel4-admin init "$demo" --force
./build/release/tools/kestrel4-admin conf show "$demo"
