// Any byte string given to the hand-off bitmap reader: no read outside the
// input, and an accepted picture always comes with all the rows it declares.
#include <cstdlib>

#include "renderer/bmp_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  gelmo::MemorySource source(data, size);
  gelmo::BmpImage image;
  if (gelmo::ReadHandOffBitmap(source, image) == gelmo::BmpResult::kOk) {
    const std::uint64_t rows = std::uint64_t(image.height) * gelmo::PaddedRowBytes(24, image.width);
    if (image.width <= 0 || image.height <= 0 || image.pixels.size() != rows) std::abort();
  }
  return 0;
}
