#!/usr/bin/env bash
# Regenerates Orvalen's PNG artwork from the hand-written SVGs in this folder.
# Needs rsvg-convert (Debian package librsvg2-bin). Run from anywhere:
#   res/render-art.sh
#
# Each size has a drawing made for its own pixel grid so that edges stay crisp:
#   orvalen-small.svg (16-unit grid) -> icons/orvalen-16.png
#   orvalen-32.svg    (32-unit grid) -> icons/orvalen-32.png
#   orvalen.svg       (48-unit grid) -> icons/orvalen-48.png, icons/orvalen-256.png
#   picture.svg       (36 x 30 grid) -> picture.png
# rsvg-convert writes 8-bit RGBA PNGs with a transparent background.
set -euo pipefail

cd "$(dirname "$0")"
command -v rsvg-convert >/dev/null || { echo "render-art.sh: rsvg-convert is missing (apt-get install librsvg2-bin)" >&2; exit 1; }

mkdir -p icons
render() { # render SOURCE.svg WIDTH HEIGHT OUTPUT.png
    rsvg-convert --width "$2" --height "$3" --format png --output "$4" "$1"
    echo "$1 -> $4 ($2x$3)"
}

render orvalen-small.svg 16 16 icons/orvalen-16.png
render orvalen-32.svg 32 32 icons/orvalen-32.png
render orvalen.svg 48 48 icons/orvalen-48.png
render orvalen.svg 256 256 icons/orvalen-256.png
render picture.svg 36 30 picture.png
