#!/bin/sh
# tamsel_bmp_refs.sh OUTDIR: BMP files of 1, 4, 8 and 24 bits written by ImageMagick, each with
# ImageMagick's own reading of its pixels as raw 8-bit RGB rows (top row first), for the texture
# loader's Wine test. Runs natively before that test.
set -eu
out=$1
im=/usr/bin/convert
[ -x "$im" ] || im=convert
mkdir -p "$out"
cd "$out"
# 23 x 17: odd sizes exercise the row padding of every depth.
"$im" -size 23x17 xc:black -channel R -fx 'i/w' -channel G -fx 'j/h' -channel B -fx '((i*j)%5)/4' +channel src.png
"$im" src.png -type TrueColor BMP3:d24.bmp
"$im" src.png -colors 200 -type Palette -compress None BMP3:d8.bmp
"$im" src.png -colors 200 -type Palette BMP3:d8rle.bmp
"$im" src.png -colors 16 -type Palette BMP3:d4.bmp
"$im" src.png -monochrome -type Bilevel BMP3:d1.bmp
for f in d24 d8 d8rle d4 d1; do
  "$im" "$f.bmp" -depth 8 "rgb:$f.rgb"
done
