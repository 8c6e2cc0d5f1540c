// Writing a picture as a 24-bit uncompressed BMP file image: the hand-off
// bitmap format the renderer reads.
#pragma once

#include <cstdint>
#include <vector>

namespace gelmo {

// Bytes of one 24-bit row padded to a multiple of 4.
std::uint32_t Bmp24RowBytes(std::int32_t width);

// The whole file: 14-byte file header, 40-byte BITMAPINFOHEADER, then the rows.
// `rows` holds height rows of Bmp24RowBytes(width) bytes, blue-green-red,
// bottom row first (the layout GetDIBits gives for a 24-bit bottom-up DIB).
// Empty when the sizes are not positive or the rows are too few.
std::vector<std::uint8_t> EncodeBmp24(std::int32_t width, std::int32_t height,
                                      const std::vector<std::uint8_t>& rows);

}  // namespace gelmo
