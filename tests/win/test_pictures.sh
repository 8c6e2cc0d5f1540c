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
# Files of a few hundred bytes whose headers, valid to the last checksum,
# claim 30000 x 30000 pixels: a decoder that takes the claimed frame as it
# opens would need gigabytes.
perl -MCompress::Zlib -e '
  sub chunk { my ($type, $data) = @_; pack("N", length $data) . $type . $data . pack("N", crc32($type . $data)) }
  print "\x89PNG\r\n\x1a\n", chunk("IHDR", pack("NNC5", 30000, 30000, 8, 2, 0, 0, 0)),
    chunk("IDAT", compress("\0" x 1000)), chunk("IEND", "")' >claims-30000.png
printf 'GIF89a\x30\x75\x30\x75\x00\x00\x00\x2c\x00\x00\x00\x00\x30\x75\x30\x75\x00\x02\x02\x44\x01\x00\x3b' >claims-30000.gif
# width, length, 8 bits, no compression, grey, one strip at 110 of 100 bytes
perl -e 'print pack("A2vVv", "II", 42, 8, 8),
  map({ pack("vvVV", @$_) } [256, 4, 1, 30000], [257, 4, 1, 30000], [258, 3, 1, 8], [259, 3, 1, 1],
    [262, 3, 1, 1], [273, 4, 1, 110], [278, 4, 1, 30000], [279, 4, 1, 100]), pack("V", 0), "\0" x 100' >claims-30000.tif
touch stamp
