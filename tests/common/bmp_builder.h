// Builds BMP file images byte by byte for the reader's tests, independently of
// any writer in the program.
#pragma once

#include <cstdint>
#include <vector>

namespace gelmo::testing {

struct BmpLayout {
  std::int32_t width = 4;
  std::int32_t height = 2;
  std::uint16_t bitCount = 24;
  std::uint32_t sizeImage = 0;   // written as given (0: let the reader compute it)
  std::uint32_t extraHeaderBytes = 0;  // e.g. a colour table between header and pixels
  std::uint8_t magic0 = 'B', magic1 = 'M';
  bool overrideOffBits = false;
  std::uint32_t offBits = 0;
};

inline void PutU16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  b[at] = v & 0xFF;
  b[at + 1] = (v >> 8) & 0xFF;
}
inline void PutU32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

inline std::uint32_t RowBytes24(std::int32_t width) { return (24u * width + 31) / 32 * 4; }

// Headers only; pixel bytes are appended by the caller.
inline std::vector<std::uint8_t> BmpHeaders(const BmpLayout& s) {
  std::vector<std::uint8_t> b(54 + s.extraHeaderBytes, 0);
  b[0] = s.magic0;
  b[1] = s.magic1;
  std::uint32_t off = s.overrideOffBits ? s.offBits : 54 + s.extraHeaderBytes;
  PutU32(b, 10, off);
  PutU32(b, 14, 40);
  PutU32(b, 18, static_cast<std::uint32_t>(s.width));
  PutU32(b, 22, static_cast<std::uint32_t>(s.height));
  PutU16(b, 26, 1);
  PutU16(b, 28, s.bitCount);
  PutU32(b, 34, s.sizeImage);
  for (std::uint32_t i = 0; i < s.extraHeaderBytes; ++i) b[54 + i] = 0xA5;  // must be skipped
  return b;
}

// A whole 24-bit file whose pixel (x, y), y counted from the bottom row, is
// colour(x, y) given as 0xRRGGBB; row padding bytes are 0xEE.
template <typename ColourFn>
std::vector<std::uint8_t> Bmp24(BmpLayout s, ColourFn colour) {
  std::vector<std::uint8_t> b = BmpHeaders(s);
  const std::uint32_t row = RowBytes24(s.width);
  PutU32(b, 2, static_cast<std::uint32_t>(b.size() + row * s.height));
  for (std::int32_t y = 0; y < s.height; ++y) {
    for (std::int32_t x = 0; x < s.width; ++x) {
      std::uint32_t c = colour(x, y);
      b.push_back(c & 0xFF);
      b.push_back((c >> 8) & 0xFF);
      b.push_back((c >> 16) & 0xFF);
    }
    for (std::uint32_t p = 3u * s.width; p < row; ++p) b.push_back(0xEE);
  }
  return b;
}

inline std::vector<std::uint8_t> Bmp24Solid(BmpLayout s, std::uint32_t rgb) {
  return Bmp24(s, [rgb](int, int) { return rgb; });
}

}  // namespace gelmo::testing
