#!/usr/bin/env bash
# Renders the program's icon from data/icons/zonbode.svg: the 32 x 32 PNG the window and the
# tray use, and the Windows .ico (16, 32, 48 and 256 pixels). Needs rsvg-convert (librsvg2-bin)
# and icotool (icoutils); scripts/install-deps.sh installs both.
set -euo pipefail
cd "$(dirname "$0")/../data/icons"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for size in 16 32 48 256; do
    rsvg-convert --width "$size" --height "$size" --format png zonbode.svg -o "$work/zonbode-$size.png"
done
cp "$work/zonbode-32.png" zonbode-32.png
icotool --create --output zonbode.ico "$work/zonbode-16.png" "$work/zonbode-32.png" \
    "$work/zonbode-48.png" --raw="$work/zonbode-256.png"
echo "wrote data/icons/zonbode-32.png and data/icons/zonbode.ico"
