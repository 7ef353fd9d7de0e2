#!/usr/bin/env bash
# CPU time used by `game` on Xvfb: idle before the first game, then while a
# game runs at level 9 on a 20 by 30 board (set through the settings window
# with keys, as a player would). A lost game is restarted with Enter.
# Usage: tools/bench/game-cpu.sh [build folder] [seconds]
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/deps.sh
install_missing_packages xdotool
build=${1:-build/bench}
seconds=${2:-30}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build" --target game

inner=$(mktemp)
trap 'rm -f "$inner"' EXIT
cat > "$inner" <<'INNER'
set -euo pipefail
game=$1 seconds=$2
hz=$(getconf CLK_TCK)
cpu() { awk '{print $14 + $15}' "/proc/$1/stat"; }
focus() { xdotool windowfocus --sync "$(xdotool search --name "$1" | head -1)"; }

"$game" 2>/dev/null & pid=$!
trap 'kill $pid 2>/dev/null' EXIT
xdotool search --sync --name '^Brickvane$' > /dev/null
sleep 1
idle0=$(cpu $pid); sleep 10; idle1=$(cpu $pid)
echo "idle, 10 s before the first game: $(( (idle1 - idle0) * 1000 / hz )) ms CPU"

focus '^Brickvane$'
xdotool key F3
xdotool search --sync --name '设置' > /dev/null
focus '设置'
# Columns "20", rows "30", level "9": the last entry of each list; Enter restarts.
xdotool key End Tab End Tab End Return
sleep 0.5

# The window now fits a 20 by 30 board.
xdotool search --name '^Brickvane$' getwindowgeometry | sed -n 's/ *Geometry/window size/p'

restarts=0
start=$(cpu $pid); t0=$(date +%s%N)
end=$((t0 + seconds * 1000000000))
while (( $(date +%s%N) < end )); do
  if over=$(xdotool search --name '你的得分是' 2>/dev/null | head -1) && [ -n "$over" ]; then
    xdotool windowfocus --sync "$over" key Return
    restarts=$((restarts + 1))
  fi
  sleep 0.5
done
stop=$(cpu $pid); t1=$(date +%s%N)
awk -v ms=$(( (stop - start) * 1000 / hz )) -v ns=$((t1 - t0)) -v r=$restarts 'BEGIN {
  printf "level 9, 20 x 30 board, %.1f s: %d ms CPU, %.2f%% of one core, %d restart(s)\n",
         ns / 1e9, ms, ms / (ns / 1e6) * 100, r }'
INNER
xvfb-run -a -s "-screen 0 1024x768x24" bash "$inner" "$PWD/$build/bin/game" "$seconds"
