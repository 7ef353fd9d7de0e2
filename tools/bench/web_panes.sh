#!/usr/bin/env bash
# The real Orvanta against the demo portal: time from the main window shown to
# all six pages loaded (five panes and the login window's), and the
# proportional set size of the whole process tree (Orvanta and its
# QtWebEngineProcess helpers) with the six pages loaded, and each process's
# own share. Against it, Debian's headless Chromium showing the same six pages
# in six tabs, and Orvanta with one renderer for the whole portal
# (--process-per-site) as it was before its pages were kept apart. Median of N
# runs each, every run with a fresh home folder, under one Xvfb server and one
# demo portal.
# PSS splits a shared page among every process that maps it: beside another
# Qt WebEngine program the figures come out far too small, so the bench
# refuses to measure while one runs.
# Usage: tools/bench/web_panes.sh [build-dir] [runs]
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$top/build/bench}
runs=${2:-5}
settle=3 # seconds between loaded and measured, for the helpers to settle
pages=6

if [ -z "${BENCH_UNDER_XVFB:-}" ]; then
  source "$top/scripts/deps.sh"
  install_missing_packages chromium curl
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" --target Orvanta demo-portal >/dev/null
  BENCH_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$runs"
fi

tree() {
  echo "$1"
  local child
  for child in $(pgrep -P "$1"); do tree "$child"; done
}
others_running() { # Qt WebEngine helpers outside the tree of $1
  local pid ours=
  # Listed first: with pipefail, grep -q ending a pipe early fails the tree.
  [ -n "${1:-}" ] && ours=$(tree "$1")
  for pid in $(pgrep -x QtWebEngineProc || true); do
    grep -qx "$pid" <<<"$ours" && continue
    return 0
  done
  return 1
}
refuse_if_others() {
  if others_running "${1:-}"; then
    echo "Another Qt WebEngine program runs (QtWebEngineProcess $(pgrep -x QtWebEngineProc | tr '\n' ' '))." >&2
    echo "PSS would split its shared pages with it and come out too small: measure on a quiet machine." >&2
    exit 2
  fi
}
refuse_if_others

work=$(mktemp -d)
# Chromium refuses to run as root with its sandbox on; neither runs with it here.
export QTWEBENGINE_DISABLE_SANDBOX=1

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
  refuse_if_others "$1"
  for _ in 1 2 3; do pss_kib "$1"; sleep 1; done | median
}
each_process() { # every process of the tree of $1: PSS, pid, program or Chromium type
  local pid what
  for pid in $(tree "$1"); do
    what=$(tr '\0' '\n' <"/proc/$pid/cmdline" 2>/dev/null | grep -m 1 -e '^--type=' || true)
    [ -n "$what" ] || what=$(basename "$(tr '\0' '\n' <"/proc/$pid/cmdline" 2>/dev/null | head -n 1)")
    awk -v p="$pid" -v w="$what" '/^Pss:/ { printf "    %7d KiB  %7d  %s\n", $2, p, w }' \
      "/proc/$pid/smaps_rollup" 2>/dev/null || true
  done
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
fresh_home() { # a home of its own per run: profile, shortcuts, lock, settings
  local home=$work/home-$1
  mkdir -p "$home/run" && chmod 700 "$home/run"
  echo "HOME=$home XDG_RUNTIME_DIR=$home/run XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_CACHE_HOME=$home/cache"
}

portal_pid=
trap '[ -n "$portal_pid" ] && end_tree "$portal_pid"; [ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
"$build/bin/demo-portal" >"$work/portal.log" &
portal_pid=$!
wait_for 10 grep -q '^listening ' "$work/portal.log"
address=$(head -n 1 "$work/portal.log" | cut -d' ' -f2)
welcome="file://$build/bin/velantrix.htm"
# As Orvanta shows them: the advertisement, the welcome page in the main pane,
# the chat list, the group-tour room, the members' list, and the login window's
# welcome page.
urls=("${address}market/ad.asp" "$welcome" "${address}chat/" "${address}chat/VIEWROOM2.asp"
      "${address}tonghang/infolist-mem.asp" "$welcome")
portal_pages=4
page_requests() { grep -c -v -e '^listening' -e 'favicon' "$work/portal.log" || true; }
requests_reach() { [ "$(page_requests)" -ge "$1" ]; }

run_orvanta() { # run number, label, extra Chromium flags
  local i=$1 label=$2 out=$work/$1-$2.out
  # shellcheck disable=SC2046
  env $(fresh_home "$label-$i") ORVANTA_PORTAL_URL="$address" ORVANTA_PANES_PROBE=$pages \
    QTWEBENGINE_CHROMIUM_FLAGS="$3" "$build/bin/Orvanta" >"$out" 2>"$work/orvanta.err" &
  local pid=$!
  touch "$out"
  if ! wait_for 90 grep -q '^loaded ' "$out"; then
    end_tree "$pid"
    echo "Orvanta did not load its six pages:" >&2
    cat "$out" "$work/orvanta.err" >&2
    exit 1
  fi
  local shown loaded
  shown=$(awk '$1 == "shown" { print $2 }' "$out")
  loaded=$(awk '$1 == "loaded" { print $2 }' "$out")
  echo $(((loaded - shown) / 1000000)) >>"$work/$label-ms.txt" # ns to ms
  memory_of "$pid" >>"$work/$label-pss.txt"
  { echo "  run $i, $label:"; each_process "$pid"; } >>"$work/$label-processes.txt"
  echo $(($(tree "$pid" | wc -l) - 1)) >>"$work/$label-helpers.txt"
  end_tree "$pid"
}

for i in $(seq "$runs"); do
  run_orvanta "$i" orvanta ""
  run_orvanta "$i" per-site "--process-per-site"

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
  if ! wait_for 60 requests_reach $((before + portal_pages)); then
    end_tree "$pid"
    echo "Chromium did not load the portal's pages" >&2
    exit 1
  fi
  memory_of "$pid" >>"$work/chromium-pss.txt"
  devtools "$port" GET /json/list | grep -c '"type": "page"' >>"$work/tabs.txt" || true
  end_tree "$pid"
done

mib() { awk -v k="$1" 'BEGIN { printf "%.0f MiB", k / 1024 }'; }
list() { tr '\n' ' ' <"$1"; }
orvanta=$(median <"$work/orvanta-pss.txt")
persite=$(median <"$work/per-site-pss.txt")
chromium=$(median <"$work/chromium-pss.txt")
echo "six pages loaded, from the main window shown:"
echo "  Orvanta:                        median $(median <"$work/orvanta-ms.txt") ms of $runs: $(list "$work/orvanta-ms.txt")"
echo "  Orvanta, a renderer per site:   median $(median <"$work/per-site-ms.txt") ms: $(list "$work/per-site-ms.txt")"
echo "each process of Orvanta's tree (PSS, pid, program or Chromium process type):"
cat "$work/orvanta-processes.txt"
echo "process tree PSS, six pages loaded:"
echo "  Orvanta:                        median $(mib "$orvanta"): $(list "$work/orvanta-pss.txt")(KiB; helpers $(list "$work/orvanta-helpers.txt"))"
echo "  Orvanta, a renderer per site:   median $(mib "$persite"): $(list "$work/per-site-pss.txt")(KiB; helpers $(list "$work/per-site-helpers.txt"))"
echo "  headless Chromium, six tabs:    median $(mib "$chromium"): $(list "$work/chromium-pss.txt")(KiB; tabs seen $(list "$work/tabs.txt"))"
awk -v p="$orvanta" 'BEGIN { printf "Orvanta: %.0f MiB (target at most 220)\n", p / 1024 }'
awk -v p="$orvanta" -v c="$chromium" 'BEGIN { printf "ratio Orvanta / Chromium: %.2f (target at most 0.50)\n", p / c }'
