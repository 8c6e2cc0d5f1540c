// Any byte string as a picture file for the orientation reader: no read
// outside the input, always one of the eight orientations.
#include <cstdlib>

#include "scr/pictures/picture_orientation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  gelmo::MemoryPictureBytes bytes(data, size);
  const int orientation = gelmo::PictureOrientation(bytes);
  if (orientation < 1 || orientation > 8) std::abort();
  return 0;
}
