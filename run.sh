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
# The IP base table: one Ethernet receiving base on 127.0.0.2 (operator
# Plus, with a transmitter), and both virtual channels.
{
  echo "1 7 12"
  for s in 1 2 3 4 5 6 7; do echo "$s BRAK"; done
  echo "127.0.0.2;PN"
  for _ in $(seq 11); do echo "0.0.0.0"; done
  echo ptarvik
  echo ethernet
} >"$demo/pakiety"

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
# The network: the station's UDP channels moved to ports of their own on
# 127.0.0.1 (a real station on this machine keeps 7024, 1024 and 8024), the
# Ethernet base and the transmitters on other loopback addresses.
export KESTREL4_UDP_PORTS="27024,21024,28024@127.0.0.1"
"$bin/tools/kestrel4-sim" udp --station 127.0.0.1 --ports 27024,21024,28024 \
  --scenario tools/demo/udp_scenario.txt --linger 86400 >"$demo/udp.log" 2>&1 &
udpsim=$!
# IP panels (DC-09): the receiver on port 27300, two panels' accounts, and
# their scenario once the station is up.
export KESTREL4_DC09_PORT=27300
"$bin/tools/kestrel4-admin" dc09 accounts add 1010 1010 - "$demo" >/dev/null
"$bin/tools/kestrel4-admin" dc09 accounts add 1012 1012 000102030405060708090A0B0C0D0E0F "$demo" >/dev/null
"$bin/tools/kestrel4-sim" dc09 --port 27300 --scenario tools/demo/dc09_scenario.txt >"$demo/dc09.log" 2>&1 &
dc09sim=$!
trap 'kill "$sim" "$modsim" "$udpsim" "$dc09sim" 2>/dev/null || true; wait "$sim" "$modsim" "$udpsim" "$dc09sim" 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$demo/baza1" ] && [ -e "$bus/pakiety" ] && break; sleep 0.1; done
echo "Symulator bazy: $demo/baza1 (dziennik: $demo/symulator.log)"
echo "Symulator pakietów: $bus/interfejs, $bus/pakiety (dziennik: $demo/pakiety.log)"
echo "Symulator sieci: baza 127.0.0.2, nadajniki 127.0.0.4 i 127.0.0.5 (dziennik: $demo/udp.log)"
echo "Centrale IP (DC-09): port 27300, konta 1010 i 1012 (dziennik: $demo/dc09.log)"

export KESTREL4_SERIAL_PORTS="$PWD/$bus/interfejs:$PWD/$bus/pakiety:$PWD/$demo/baza1"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ "${KESTREL4_DEMO_HEADLESS:-0}" != 1 ]; then
  # An ordinary window on a developer's desktop; a centre runs the kiosk.
  KESTREL4_WINDOWED=1 "$bin/src/kestrel4" --data "$demo"
else
  echo "Brak ekranu: stacja bez okna, wiersze zdarzeń poniżej (Ctrl+C kończy)."
  "$bin/src/kestrel4" --headless --data "$demo"
fi
