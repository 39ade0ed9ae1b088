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

# The Windows window's icon and picture, as its resources want them (icotool from icoutils,
# convert from imagemagick): orvalen.ico holds 16, 32 and 48 pixels in 32-bit colour with
# alpha and in 256 colours; picture.bmp is 256 colours on the 3D-face grey (192, 192, 192),
# which the window maps to the system's own face colour when it loads the picture.
if command -v icotool >/dev/null && command -v convert >/dev/null; then
    palette=$(mktemp -d)
    trap 'rm -rf "$palette"' EXIT
    for size in 16 32 48; do
        convert icons/orvalen-$size.png -channel A -threshold 50% +channel -colors 255 \
            PNG8:"$palette/orvalen-$size.png"
    done
    icotool -c -o orvalen.ico \
        -b 32 icons/orvalen-16.png icons/orvalen-32.png icons/orvalen-48.png \
        -b 8 "$palette/orvalen-16.png" "$palette/orvalen-32.png" "$palette/orvalen-48.png"
    echo "icons/orvalen-{16,32,48}.png -> orvalen.ico"
    # convert writes so few colours in 4 bits; the picture is an 8-bit (256-colour) bitmap.
    convert picture.png -background '#C0C0C0' -alpha remove -alpha off -depth 8 ppm:- |
        python3 -c '
import struct, sys
data = sys.stdin.buffer.read()
magic, width, height, top, pixels = data.split(maxsplit=4)
width, height = int(width), int(height)
colours, rows = [], []
for y in range(height):
    row = bytearray()
    for x in range(width):
        at = 3 * (y * width + x)
        colour = pixels[at:at + 3]
        if colour not in colours:
            colours.append(colour)
        row.append(colours.index(colour))
    rows.append(bytes(row) + bytes(-width % 4))
assert len(colours) <= 256
palette = b"".join(c[::-1] + b"\0" for c in colours).ljust(1024, b"\0")
image = b"".join(reversed(rows))
offset = 14 + 40 + 1024
header = struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset)
info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(image), 2835, 2835, 256, 0)
sys.stdout.buffer.write(header + info + palette + image)
' >picture.bmp
    echo "picture.png -> picture.bmp"
else
    echo "render-art.sh: icotool or convert missing (apt-get install icoutils imagemagick); orvalen.ico and picture.bmp left as they are" >&2
fi
