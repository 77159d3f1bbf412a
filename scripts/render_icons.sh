#!/usr/bin/env bash
# Renders the committed PNGs of icons/ from their SVG sources. Needs rsvg-convert
# (apt-get install librsvg2-bin); the build itself uses only the PNGs.
set -euo pipefail
cd "$(dirname "$0")/../icons"

for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "hicolor/${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" dorvane.svg -o "hicolor/${size}x${size}/apps/dorvane.png"
done
mkdir -p about
for size in 16 32 48 64 128; do
  rsvg-convert -w "$size" -h "$size" about.svg -o "about/about-${size}.png"
done
