#!/usr/bin/env bash
# Start-up time, process start to the first window shown: Orvanta's splash
# against a minimal Qt Widgets program, both in one run under one Xvfb
# server, interleaved, median of N runs each (one warm-up run first).
# Usage: tools/bench/startup.sh [build-dir] [runs]
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$top/build/bench}
runs=${2:-10}

if [ -z "${BENCH_UNDER_XVFB:-}" ]; then
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" --target Orvanta startup_minimal_window >/dev/null
  BENCH_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$runs"
fi

# A throw-away home, so the shortcuts Orvanta writes go nowhere that matters.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/Desktop" "$work/run"
chmod 700 "$work/run"
export HOME=$work XDG_CONFIG_HOME=$work/.config XDG_DATA_HOME=$work/.local/share
export XDG_RUNTIME_DIR=$work/run ORVANTA_STARTUP_PROBE=1 ORVANTA_PORTAL_URL=http://127.0.0.1:9/

# Microseconds from just before the start to the window's first paint.
measure() {
  local start shown
  start=$(date +%s%N)
  shown=$("$1" | sed -n 's/^shown //p')
  [ -n "$shown" ] || { echo "no window from $1" >&2; exit 1; }
  echo $(((shown - start) / 1000))
}

# Whole microseconds, so that the shell's integer arithmetic below can use it.
median() { sort -n | awk '{ v[NR] = $1 } END { print int((NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

minimal=$build/bin/startup_minimal_window
orvanta=$build/bin/Orvanta
measure "$minimal" >/dev/null
measure "$orvanta" >/dev/null
: >"$work/minimal.txt"
: >"$work/orvanta.txt"
for _ in $(seq "$runs"); do
  measure "$minimal" >>"$work/minimal.txt"
  measure "$orvanta" >>"$work/orvanta.txt"
done

m=$(median <"$work/minimal.txt")
o=$(median <"$work/orvanta.txt")
echo "minimal Qt Widgets window: median $((m / 1000)).$(((m % 1000) / 100)) ms of $runs: $(tr '\n' ' ' <"$work/minimal.txt")(us)"
echo "Orvanta splash shown:      median $((o / 1000)).$(((o % 1000) / 100)) ms of $runs: $(tr '\n' ' ' <"$work/orvanta.txt")(us)"
awk -v o="$o" -v m="$m" 'BEGIN { printf "ratio Orvanta / minimal: %.2f (target at most 1.10)\n", o / m }'
