// Reads a hand-off bitmap with the renderer's own reader and prints its size,
// and the colour of pixels given as X,Y (Y counted from the top):
//   bmp_info FILE [X,Y ...]   ->   WIDTH HEIGHT [RRGGBB ...]
// Exit code 1 when the renderer would refuse the file.
#include <cstdio>
#include <cstdlib>

#include "renderer/bitmap_file.h"
#include "renderer/bmp_reader.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE [X,Y ...]\n", argv[0]);
    return 2;
  }
  std::unique_ptr<gelmo::ByteSource> file = gelmo::OpenBitmapFile(argv[1]);
  gelmo::BmpImage image;
  const gelmo::BmpResult result = file ? gelmo::ReadHandOffBitmap(*file, image) : gelmo::BmpResult::kShortFileHeader;
  if (result != gelmo::BmpResult::kOk) {
    std::printf("refused: %s\n", file ? gelmo::BmpResultName(result) : "cannot open");
    return 1;
  }
  std::printf("%d %d", image.width, image.height);
  const std::uint64_t row = gelmo::PaddedRowBytes(24, image.width);
  for (int i = 2; i < argc; ++i) {
    int x = 0, y = 0;
    if (std::sscanf(argv[i], "%d,%d", &x, &y) != 2 || x < 0 || y < 0 || x >= image.width || y >= image.height) {
      std::printf(" -");
      continue;
    }
    const std::uint8_t* p = &image.pixels[(image.height - 1 - y) * row + std::size_t(x) * 3];
    std::printf(" %02X%02X%02X", p[2], p[1], p[0]);
  }
  std::printf("\n");
  return 0;
}
