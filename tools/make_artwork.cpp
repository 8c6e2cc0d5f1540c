// Writes the screensaver program's window icon and hand cursor for its
// resource script:
//   make_artwork ICON.ico CURSOR.cur
// Built for the machine that runs the build, not for Windows.
#include <cstdio>
#include <vector>

#include "scr/start/artwork.h"

namespace {

bool WriteFile(const char* path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s ICON.ico CURSOR.cur\n", argv[0]);
    return 2;
  }
  int result = 0;
  if (!WriteFile(argv[1], gelmo::WindowIconFile())) {
    std::fprintf(stderr, "make_artwork: cannot write %s\n", argv[1]);
    result = 1;
  }
  if (!WriteFile(argv[2], gelmo::HandCursorFile())) {
    std::fprintf(stderr, "make_artwork: cannot write %s\n", argv[2]);
    result = 1;
  }
  return result;
}
