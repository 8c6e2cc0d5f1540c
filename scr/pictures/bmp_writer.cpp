#include "scr/pictures/bmp_writer.h"

namespace gelmo {
namespace {

void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  b[at] = v & 0xFF;
  b[at + 1] = (v >> 8) & 0xFF;
}
void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

}  // namespace

std::uint32_t Bmp24RowBytes(std::int32_t width) {
  return width > 0 ? (24u * static_cast<std::uint32_t>(width) + 31) / 32 * 4 : 0;
}

std::vector<std::uint8_t> EncodeBmp24(std::int32_t width, std::int32_t height,
                                      const std::vector<std::uint8_t>& rows) {
  constexpr std::uint32_t kHeaders = 14 + 40;
  if (width <= 0 || height <= 0 || width > 0x7FFFFFFF / 24) return {};
  const std::uint64_t imageBytes = std::uint64_t(Bmp24RowBytes(width)) * std::uint32_t(height);
  if (imageBytes > 0xFFFFFFFFull - kHeaders || rows.size() < imageBytes) return {};

  std::vector<std::uint8_t> file(kHeaders, 0);
  file[0] = 'B';
  file[1] = 'M';
  Put32(file, 2, static_cast<std::uint32_t>(kHeaders + imageBytes));  // bfSize
  Put32(file, 10, kHeaders);                                          // bfOffBits
  Put32(file, 14, 40);                                                // biSize
  Put32(file, 18, static_cast<std::uint32_t>(width));
  Put32(file, 22, static_cast<std::uint32_t>(height));  // positive: bottom row first
  Put16(file, 26, 1);                                   // biPlanes
  Put16(file, 28, 24);                                  // biBitCount
  Put32(file, 30, 0);                                   // BI_RGB
  Put32(file, 34, static_cast<std::uint32_t>(imageBytes));
  Put32(file, 38, 3780);  // 96 dots per inch, in dots per metre
  Put32(file, 42, 3780);
  file.insert(file.end(), rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(imageBytes));
  return file;
}

}  // namespace gelmo
