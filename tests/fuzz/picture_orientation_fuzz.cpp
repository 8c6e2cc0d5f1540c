// Any byte string as a picture file for the orientation and frame-size
// readers: no read outside the input, always one of the eight orientations,
// and a frame size only for a file that starts as a JPEG does.
#include <cstdlib>

#include "scr/forms/picture_orientation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  gelmo::MemoryPictureBytes bytes(data, size);
  const int orientation = gelmo::PictureOrientation(bytes);
  if (orientation < 1 || orientation > 8) std::abort();
  if (gelmo::JpegFrameSize(bytes) && (size < 2 || data[0] != 0xFF || data[1] != 0xD8)) std::abort();
  return 0;
}
