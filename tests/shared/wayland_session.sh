#!/usr/bin/env bash
# Brickvane in a Wayland session (weston, headless, with XWayland): it goes
# through XWayland, where it can place its windows; a user's
# QT_QPA_PLATFORM=wayland still starts it as a Wayland client.
# Usage: wayland_session.sh GAME
set -euo pipefail
game=$1
runtime=$(mktemp -d) # private to us, as the runtime folder must be
export XDG_RUNTIME_DIR=$runtime LANG=C LC_ALL=C HOME=$runtime
weston --backend=headless-backend.so --xwayland --socket=wl-test > "$runtime/weston.log" 2>&1 &
weston_pid=$!
game_pid=
trap 'kill $weston_pid $game_pid 2>/dev/null; rm -rf "$runtime"' EXIT
for _ in $(seq 100); do
  sleep 0.1 # first, so that weston has made its log
  display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$runtime/weston.log")
  [[ -n $display && -S $runtime/wl-test ]] && break
done
[[ -n $display ]] || { cat "$runtime/weston.log"; echo "weston did not start"; exit 1; }
export WAYLAND_DISPLAY=wl-test DISPLAY=$display XDG_SESSION_TYPE=wayland

# The program's visible X windows on XWayland, looked for over $1 tenths of a
# second of its start.
x_windows() {
  for _ in $(seq "$1"); do
    xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null && return
    sleep 0.1
  done
}

"$game" &
game_pid=$!
[[ -n $(x_windows 100) ]] || { echo "Brickvane did not go through XWayland"; exit 1; }
kill $game_pid

QT_QPA_PLATFORM=wayland "$game" &
game_pid=$!
{ [[ -z $(x_windows 30) ]] && kill -0 $game_pid; } ||
  { echo "Brickvane ended under QT_QPA_PLATFORM=wayland, or did not follow it"; exit 1; }
echo "Wayland session: XWayland by default, the user's platform when asked"
