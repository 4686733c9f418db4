#!/usr/bin/env bash
# The main job on the built-in demo: builds the programs, makes a fresh demo
# installation under the build tree (mode "Std/Odb"), starts a simulated
# receiving base that keeps sending a small centre's day of reports and the
# simulated module bus of the centre's own modules, and runs the station on them:
# the window when there is a display, --headless (event lines on standard
# output) otherwise. Ctrl+C (or closing the station) ends both.
set -euo pipefail
cd "$(dirname "$0")"
./tools/setup.sh

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTREL4_TESTS=OFF >/dev/null
cmake --build build/release -j "$(nproc)"
bin=build/release

demo=build/demo
rm -rf "$demo"
"$bin/tools/kestrel4-admin" demo "$demo" tools/demo/demo_subscribers.csv

# The centre's own module bus: the interface and data ports as pseudo-
# terminals outside the data directory (its files must not be shadowed),
# the station's serial ports 1 and 2. The modules keep answering probes.
bus=build/demo-bus
rm -rf "$bus"
mkdir -p "$bus"
"$bin/tools/kestrel4-sim" modules --interface "$bus/interfejs" --data "$bus/pakiety" \
  --scenario tools/demo/modules_scenario.txt --linger 86400 >"$demo/pakiety.log" 2>&1 &
modsim=$!
# The base's line: a pseudo-terminal published as $demo/baza1, which the
# station takes as its serial port 3.
"$bin/tools/kestrel4-sim" base --link "$demo/baza1" --scenario tools/demo/demo_scenario.txt \
  --interval 700 --wait-open 3 >"$demo/symulator.log" 2>&1 &
sim=$!
trap 'kill "$sim" "$modsim" 2>/dev/null || true; wait "$sim" "$modsim" 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$demo/baza1" ] && [ -e "$bus/pakiety" ] && break; sleep 0.1; done
echo "Symulator bazy: $demo/baza1 (dziennik: $demo/symulator.log)"
echo "Symulator pakietów: $bus/interfejs, $bus/pakiety (dziennik: $demo/pakiety.log)"

export KESTREL4_SERIAL_PORTS="$PWD/$bus/interfejs:$PWD/$bus/pakiety:$PWD/$demo/baza1"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ "${KESTREL4_DEMO_HEADLESS:-0}" != 1 ]; then
  # An ordinary window on a developer's desktop; a centre runs the kiosk.
  KESTREL4_WINDOWED=1 "$bin/src/kestrel4" --data "$demo"
else
  echo "Brak ekranu: stacja bez okna, wiersze zdarzeń poniżej (Ctrl+C kończy)."
  "$bin/src/kestrel4" --headless --data "$demo"
fi
