#!/usr/bin/env bash
# The kiosk picture of the README: the demo centre of ./run.sh in the kiosk
# (the station scaled to the screen) on an Xvfb screen of the given size,
# with the simulated base and module bus sending for a while.
#   tools/kiosk_screenshot.sh [WIDTHxHEIGHT] [OUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
size=${1:-1920x1080}
out=${2:-docs/kiosk_$size.png}
bin=${KESTREL4_BIN:-build/release}
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT

"$bin/tools/kestrel4-admin" demo "$work/demo" tools/demo/demo_subscribers.csv >/dev/null
"$bin/tools/kestrel4-sim" modules --interface "$work/interfejs" --data "$work/pakiety" \
  --scenario tools/demo/modules_scenario.txt --linger 600 >/dev/null 2>&1 &
pids+=($!)
"$bin/tools/kestrel4-sim" base --link "$work/demo/baza1" --scenario tools/demo/demo_scenario.txt \
  --interval 300 --wait-open 3 >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -e "$work/demo/baza1" ] && [ -e "$work/pakiety" ] && break; sleep 0.1; done

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 "${size}x24" -br -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
sleep 2
DISPLAY=$display KESTREL4_SOUND=none \
  KESTREL4_SERIAL_PORTS="$work/interfejs:$work/pakiety:$work/demo/baza1" \
  "$bin/src/kestrel4" --data "$work/demo" >"$work/stacja.log" 2>&1 &
pids+=($!)
sleep "${KESTREL4_SCREENSHOT_WAIT:-25}"
DISPLAY=$display xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$out"
echo "$out"
