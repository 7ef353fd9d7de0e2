#!/usr/bin/env bash
# Five web panes in one window loading five pages from the demo portal: time
# from the window shown to all five loaded, and the proportional set size of
# the whole process tree (client and QtWebEngineProcess helpers) with the five
# pages loaded, against Debian's headless Chromium showing the same five pages
# in five tabs. Median of N runs each, every run with a fresh profile, under
# one Xvfb server and one demo portal.
# Usage: tools/bench/web_panes.sh [build-dir] [runs]
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$top/build/bench}
runs=${2:-5}
settle=3 # seconds between loaded and measured, for the helpers to settle

if [ -z "${BENCH_UNDER_XVFB:-}" ]; then
  source "$top/scripts/deps.sh"
  install_missing_packages chromium curl
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" --target bench_five_panes demo-portal >/dev/null
  BENCH_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$runs"
fi

work=$(mktemp -d)
mkdir -m 700 "$work/run"
export XDG_RUNTIME_DIR=$work/run XDG_CACHE_HOME=$work/cache
# Chromium refuses to run as root with its sandbox on; neither runs with it here.
export QTWEBENGINE_DISABLE_SANDBOX=1

tree() {
  echo "$1"
  local child
  for child in $(pgrep -P "$1"); do tree "$child"; done
}
pss_kib() {
  local total=0 pid kib
  for pid in $(tree "$1"); do
    kib=$(awk '/^Pss:/ { print $2 }' "/proc/$pid/smaps_rollup" 2>/dev/null || true)
    total=$((total + ${kib:-0}))
  done
  echo "$total"
}
end_tree() {
  # shellcheck disable=SC2046
  kill $(tree "$1") 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
memory_of() {
  sleep "$settle"
  for _ in 1 2 3; do pss_kib "$1"; sleep 1; done | median
}
devtools() { # port, method, path: Chromium's DevTools HTTP interface
  curl -s -X "$2" "http://127.0.0.1:$1$3"
}
wait_for() { # seconds, then a test
  local limit=$(($1 * 10))
  shift
  for _ in $(seq "$limit"); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

portal_pid=
trap '[ -n "$portal_pid" ] && end_tree "$portal_pid"; rm -rf "$work"' EXIT
"$build/bin/demo-portal" >"$work/portal.log" &
portal_pid=$!
wait_for 10 grep -q '^listening ' "$work/portal.log"
address=$(head -n 1 "$work/portal.log" | cut -d' ' -f2)
targets=(market/ad.asp "" chat/ chat/VIEWROOM2.asp tonghang/infolist-mem.asp)
urls=()
for t in "${targets[@]}"; do urls+=("$address$t"); done
page_requests() { grep -c -v -e '^listening' -e 'favicon' "$work/portal.log" || true; }
requests_reach() { [ "$(page_requests)" -ge "$1" ]; }

for i in $(seq "$runs"); do
  XDG_DATA_HOME=$work/panes-$i "$build/bin/bench_five_panes" "$address" >"$work/panes.out" &
  pid=$!
  if ! wait_for 60 grep -q '^loaded ' "$work/panes.out"; then
    end_tree "$pid"
    echo "the five panes did not load" >&2
    exit 1
  fi
  read -r _ shown started <"$work/panes.out"
  echo "$shown" >>"$work/shown.txt"
  echo "$started" >>"$work/started.txt"
  memory_of "$pid" >>"$work/panes-pss.txt"
  end_tree "$pid"

  before=$(page_requests)
  profile=$work/chromium-$i
  # Headless Chromium takes one address; the other tabs come through DevTools.
  chromium --headless --no-sandbox --disable-gpu --disable-background-networking --no-first-run \
    --user-data-dir="$profile" --remote-debugging-port=0 "${urls[0]}" >/dev/null 2>&1 &
  pid=$!
  if ! wait_for 60 test -s "$profile/DevToolsActivePort"; then
    end_tree "$pid"
    echo "Chromium did not start" >&2
    exit 1
  fi
  port=$(head -n 1 "$profile/DevToolsActivePort")
  for url in "${urls[@]:1}"; do devtools "$port" PUT "/json/new?$url" >/dev/null; done
  if ! wait_for 60 requests_reach $((before + ${#urls[@]})); then
    end_tree "$pid"
    echo "Chromium did not load the five pages" >&2
    exit 1
  fi
  memory_of "$pid" >>"$work/chromium-pss.txt"
  devtools "$port" GET /json/list | grep -c '"type": "page"' >>"$work/tabs.txt" || true
  end_tree "$pid"
done

mib() { awk -v k="$1" 'BEGIN { printf "%.0f MiB", k / 1024 }'; }
list() { tr '\n' ' ' <"$1"; }
shown=$(median <"$work/shown.txt")
panes=$(median <"$work/panes-pss.txt")
chromium=$(median <"$work/chromium-pss.txt")
echo "five panes loaded, from the window shown: median $shown ms of $runs: $(list "$work/shown.txt")(target at most 2000)"
echo "                   from the program start: median $(median <"$work/started.txt") ms: $(list "$work/started.txt")"
echo "process tree PSS, five pages loaded:"
echo "  five panes (Qt WebEngine):     median $(mib "$panes"): $(list "$work/panes-pss.txt")(KiB)"
echo "  headless Chromium, five tabs:  median $(mib "$chromium"): $(list "$work/chromium-pss.txt")(KiB; tabs seen $(list "$work/tabs.txt"))"
awk -v p="$panes" -v c="$chromium" 'BEGIN { printf "ratio panes / Chromium: %.2f (target at most 1.00)\n", p / c }'
