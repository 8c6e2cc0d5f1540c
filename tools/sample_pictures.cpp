// Writes the two sample hand-off bitmaps that the run command uses when no
// saver has written any yet:
//   sample_pictures OBJECT.bmp BACKGROUND.bmp
// The object picture is the 640 x 480 landscape, the background the 256 x 256
// plasma tile.
#include <cstdio>
#include <vector>

#include "scr/pictures/bmp_writer.h"
#include "scr/start/sample_pictures.h"

namespace {

bool Save(const char* path, const gelmo::BmpImage& picture) {
  const std::vector<std::uint8_t> file = gelmo::EncodeBmp24(picture.width, picture.height, picture.pixels);
  std::FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  const bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s OBJECT.bmp BACKGROUND.bmp\n", argv[0]);
    return 2;
  }
  if (!Save(argv[1], gelmo::SampleLandscape(640, 480)) || !Save(argv[2], gelmo::SamplePlasma(256))) {
    std::perror("sample_pictures");
    return 1;
  }
  return 0;
}
