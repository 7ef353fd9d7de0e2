#!/usr/bin/env bash
# Renders the two drawings into the hicolor sizes beside them. The results
# are committed, so a build needs no SVG renderer; run this after editing a
# drawing (needs rsvg-convert, from librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for name in orvanta brickvane; do
  for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "hicolor/${size}x${size}/apps"
    rsvg-convert -w "$size" -h "$size" "$name.svg" -o "hicolor/${size}x${size}/apps/$name.png"
  done
done
