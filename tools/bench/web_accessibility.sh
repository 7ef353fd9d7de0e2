#!/usr/bin/env bash
# Cost of web-page accessibility with no screen reader running: Orvanta against
# the demo portal as shipped (QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY set by the
# program) and with renderer accessibility switched off, as Qt WebEngine does
# without that variable. Start-up (main window shown to six pages loaded) and
# process-tree PSS, median of N runs each, interleaved.
# Usage: xvfb-run -a tools/bench/web_accessibility.sh BUILD-DIR [runs]
set -euo pipefail
build=$1; runs=${2:-3}
work=$(mktemp -d)
export QTWEBENGINE_DISABLE_SANDBOX=1
tree() { echo "$1"; local c; for c in $(pgrep -P "$1"); do tree "$c"; done; }
pss_kib() { local t=0 p k; for p in $(tree "$1"); do k=$(awk '/^Pss:/ {print $2}' /proc/$p/smaps_rollup 2>/dev/null || true); t=$((t+${k:-0})); done; echo $t; }
end_tree() { kill $(tree "$1") 2>/dev/null || true; wait "$1" 2>/dev/null || true; }
median() { sort -n | awk '{v[NR]=$1} END {print (NR%2)?v[(NR+1)/2]:int((v[NR/2]+v[NR/2+1])/2)}'; }
wait_for() { local l=$(($1*10)); shift; for _ in $(seq $l); do "$@" && return 0; sleep 0.1; done; return 1; }
"$build/bin/demo-portal" >"$work/portal.log" & portal=$!
trap 'end_tree $portal; rm -rf $work' EXIT
wait_for 10 grep -q '^listening ' "$work/portal.log"
address=$(head -n1 "$work/portal.log" | cut -d' ' -f2)
run() { # i label flags
  local home=$work/home-$2-$1 out=$work/$1-$2.out
  mkdir -p "$home/run"; chmod 700 "$home/run"
  env HOME=$home XDG_RUNTIME_DIR=$home/run XDG_CONFIG_HOME=$home/c XDG_DATA_HOME=$home/d XDG_CACHE_HOME=$home/k \
    ORVANTA_PORTAL_URL="$address" ORVANTA_PANES_PROBE=6 QTWEBENGINE_CHROMIUM_FLAGS="$3" \
    "$build/bin/Orvanta" >"$out" 2>"$work/err" & local pid=$!
  touch "$out"
  wait_for 90 grep -q '^loaded ' "$out" || { end_tree $pid; cat "$out" "$work/err" >&2; exit 1; }
  local s l; s=$(awk '$1=="shown"{print $2}' "$out"); l=$(awk '$1=="loaded"{print $2}' "$out")
  echo $(((l-s)/1000000)) >>"$work/$2-ms"
  sleep 3; for _ in 1 2 3; do pss_kib $pid; sleep 1; done | median >>"$work/$2-pss"
  end_tree $pid
}
for i in $(seq $runs); do run $i on ""; run $i off "--disable-renderer-accessibility"; done
for v in on off; do echo "$v: loaded-after-shown median $(median <$work/$v-ms) ms ($(tr '\n' ' ' <$work/$v-ms)); PSS median $(median <$work/$v-pss) KiB ($(tr '\n' ' ' <$work/$v-pss))"; done
