#!/usr/bin/env bash
# The picture loader's test pictures: one upright 64x48 picture of four
# quadrants (red, green, blue, yellow from the top-left, row by row), stored in
# each format the loader is checked with, and as JPEGs whose pixels are stored
# turned or mirrored with the EXIF orientation tag that puts them upright again.
#   test_pictures.sh FOLDER
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"
quadrants() { convert -size 32x24 xc:red xc:lime +append \( -size 32x24 xc:blue "xc:$1" +append \) -append "$2"; }
quadrants yellow PNG24:upright.png
convert upright.png BMP3:upright.bmp
convert upright.png upright.gif
convert upright.png -compress lzw upright.tif
# yellow replaced by nothing: a picture with alpha
quadrants none PNG32:alpha.png

# Orientation N: the pixels as stored, so that the tag's turn makes them upright.
stored=(-noop -flop "-rotate 180" -flip -transpose "-rotate 270" -transverse "-rotate 90")
for n in 1 2 3 4 5 6 7 8; do
  # shellcheck disable=SC2086
  convert upright.png ${stored[$((n - 1))]} -quality 95 "orientation-$n.jpg"
  exiftool -q -overwrite_original "-Orientation#=$n" "orientation-$n.jpg"
done
# A TIFF keeps the tag in its own first directory.
convert upright.png -rotate 90 -compress lzw orientation-8.tif
exiftool -q -overwrite_original "-Orientation#=8" orientation-8.tif
# A JPEG that claims 60000 x 60000 pixels (its frame header says so) but
# holds the small picture's data.
perl -0777 -pe 's/\xFF\xC0(..)(.)..../\xFF\xC0$1$2\xEA\x60\xEA\x60/s' orientation-1.jpg >claims-60000.jpg
touch stamp
