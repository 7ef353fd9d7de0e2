#!/usr/bin/env bash
# Time to repaint Brickvane's board after one step on a 20 by 30 board, on Xvfb.
# Usage: tools/bench/board-repaint.sh [build folder] [steps]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build/bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build" --target board_repaint_bench
xvfb-run -a -s "-screen 0 1024x768x24" "$build/bin/board_repaint_bench" "${2:-3000}"
