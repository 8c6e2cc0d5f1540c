// The six face pictures of the button, made from their colour tables rather
// than stored as files.  Only the outer four rows and columns are ever
// painted; the centre is filled with the inner ring colour so that a picture
// also looks right on its own.
#pragma once

#include <cstdint>
#include <vector>

#include "scr/button/button_state.h"

namespace gelmo {

// 0x00BBGGRR of the pixel at column x, row y (row 0 at the top) of a
// 64 x 25 face picture; 0 outside it.
std::uint32_t FacePixel(Face face, int x, int y);

// The picture as 24-bit rows, blue-green-red, bottom row first (192 bytes a
// row, already a multiple of 4): what a 24-bit bottom-up DIB holds.
std::vector<std::uint8_t> FaceRows24(Face face);

// The picture as a BMP file image.
std::vector<std::uint8_t> FaceBmpFile(Face face);

}  // namespace gelmo
