#!/usr/bin/env bash
# Builds and runs the layout-pass benchmark on a virtual X display.
# Usage: tools/bench/form_resize.sh [passes]
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/bench --target bench_form_resize
# Chromium refuses to run as root without this; only scripts set it.
[ "$(id -u)" -ne 0 ] || export QTWEBENGINE_DISABLE_SANDBOX=1
exec xvfb-run -a -s "-screen 0 1600x1200x24" build/bench/bin/bench_form_resize "$@"
