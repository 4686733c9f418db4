#!/usr/bin/env bash
# The hydro picture of the README: the demo centre's station in a 640 x 480
# Xvfb screen with the module simulator, "&Pomiary" opened (Alt+P), and the
# pump of the waterworks switched off from the window; the simulator's log
# then holds the order the radio module took.
#   tools/hydro_screenshot.sh [OUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/hydro_units.png}
bin=${KESTREL4_BIN:-build/release}
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT

"$bin/tools/kestrel4-admin" demo "$work/demo" tools/demo/demo_subscribers.csv >/dev/null
"$bin/tools/kestrel4-sim" modules --interface "$work/interfejs" --data "$work/pakiety" \
  --scenario tools/demo/modules_scenario.txt --linger 600 >"$work/pakiety.log" 2>&1 &
pids+=($!)
"$bin/tools/kestrel4-sim" base --link "$work/demo/baza1" --scenario tools/demo/demo_scenario.txt \
  --interval 300 --wait-open 3 >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -e "$work/demo/baza1" ] && [ -e "$work/pakiety" ] && break; sleep 0.1; done

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 640x480x24 -br -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
sleep 2
export DISPLAY=$display
KESTREL4_SOUND=none KESTREL4_WINDOWED=1 \
  KESTREL4_SERIAL_PORTS="$work/interfejs:$work/pakiety:$work/demo/baza1" \
  "$bin/src/kestrel4" --data "$work/demo" >"$work/stacja.log" 2>&1 &
pids+=($!)
sleep "${KESTREL4_SCREENSHOT_WAIT:-20}"
# The start's information boxes first, then the hydro window.
for _ in 1 2 3; do xdotool key --clearmodifiers Return 2>/dev/null || true; sleep 1; done
main=$(xdotool search --name '^Kestrel4$' | head -1)
xdotool windowactivate --sync "$main" 2>/dev/null || xdotool windowfocus "$main"
xdotool key --window "$main" alt+p
sleep 3
hydro=$(xdotool search --name 'Wizualizacja pomiarów' | head -1)
xdotool windowmove "$hydro" 0 0
sleep 2
xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$out"
echo "$out"
# The pump's button: "Wyłącz" of the panel at 340,12 of the area.
eval "$(xdotool getwindowgeometry --shell "$hydro")"
xdotool mousemove $((X + 4 + 340 + 75)) $((Y + 36 + 12 + 96)) click 1
sleep 3
xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"${out%.png}_pressed.png"
grep 'rozkaz' "$work/pakiety.log" || echo "no order reached the module" >&2
