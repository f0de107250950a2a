#!/usr/bin/env bash
# Makes the pictures the import tests decode through GDI+, natively with ImageMagick, before the
# Windows tests run. Each recipe is what the tests expect back; change both together.
set -euo pipefail
out=$1
convert=/usr/bin/convert  # /usr/local/bin/convert is not ImageMagick
mkdir -p "$out" "$out/x.gif"

# 40 x 30: left half opaque red, right half fully transparent green (must come back black).
"$convert" -size 20x30 xc:'rgba(255,0,0,1)' -size 20x30 xc:'rgba(0,255,0,0)' +append +repage \
    -define png:color-type=6 "$out/alpha.png"

# 48 x 32 of one colour, (100, 150, 200), as a JPEG.
"$convert" -size 48x32 xc:'rgb(100,150,200)' -quality 95 "$out/flat.jpg"

# 16 x 8, four vertical stripes 4 pixels wide, as a 24-bit BMP.
"$convert" -size 4x8 xc:'rgb(10,20,30)' -size 4x8 xc:'rgb(250,0,5)' -size 4x8 xc:'rgb(0,128,0)' \
    -size 4x8 xc:'rgb(255,255,255)' +append +repage -type TrueColor "BMP3:$out/stripes.bmp"

# Three pages of one colour each: 10 x 10 red, 20 x 5 green, 5 x 15 blue.
"$convert" -size 10x10 xc:'rgb(255,0,0)' -size 20x5 xc:'rgb(0,255,0)' -size 5x15 xc:'rgb(0,0,255)' \
    -depth 8 -compress none "$out/pages.tif"

# An icon with two sizes: 16 x 16 yellow and 32 x 32 magenta.
"$convert" -size 16x16 xc:'rgb(255,255,0)' -size 32x32 xc:'rgb(255,0,255)' "$out/icon.ico"

# 16 x 16 with 256 distinct colours: pixel (x, y) is colour i = 16 y + x = (i, 255 - i, 7 i mod 256).
python3 -c 'import sys; sys.stdout.buffer.write(b"P6\n16 16\n255\n" + bytes(c for i in range(256) for c in (i, 255 - i, 7 * i % 256)))' |
    "$convert" ppm:- -define png:color-type=2 "$out/colors256.png"

# A PNG inside a folder whose name contains ".gif": Add must take the GIF road for it.
cp "$out/alpha.png" "$out/x.gif/picture.png"

echo "made $(ls "$out" | wc -l) files in $out"
