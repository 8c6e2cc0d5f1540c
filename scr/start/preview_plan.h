// The live preview's plan: what it shows on the sheet and the backdrop for
// the settings, how large it decodes the pictures, and when it draws.
#pragma once

#include <cstdint>
#include <string>

#include "scr/settings/settings.h"

namespace gelmo {

// One layer of the preview, as the saver would fill it.
struct PreviewLayer {
  enum class Kind {
    kSample,         // the desktop capture: the sample landscape stands in for it
    kPicture,        // the picture file `path`
    kFirstInFolder,  // the first picture found in the folder `path`
    kColour,         // plain `colour` (a settings value, 0x00BBGGRR or a system colour)
  };
  Kind kind = Kind::kSample;
  std::string path;
  std::int32_t colour = 0;
  bool operator==(const PreviewLayer& other) const {
    return kind == other.kind && path == other.path && colour == other.colour;
  }
};

struct PreviewLayers {
  PreviewLayer sheet;
  PreviewLayer backdrop;
};

// The saver's choices: the object kind picks the sheet's picture (any kind
// but 0 and 2 a picture file); the background kind 0 is the colour, 2 the
// background file, and any other the sheet's own picture as it stands (the
// desktop capture, or the object picture).
PreviewLayers PreviewLayersFor(const SaverSettings& settings);

// The longest side, in pixels, that the preview decodes a picture to for a
// host of this size: twice the host's longer side, 128 to 512.
int PreviewPictureSide(int width, int height);

// Frames on a fixed grid of 1/30 s: never more than 30 in a second, and a late
// frame does not make the next one come sooner than the grid allows.
class FramePacer {
 public:
  static constexpr double kInterval = 1.0 / 30.0;
  // True when a frame is due at `now` (seconds, any origin); the next frame
  // is then the first grid point after it.
  bool Due(double now);
  // Milliseconds from `now` to the next frame, at least 1.
  unsigned WaitMilliseconds(double now) const;

 private:
  double next_ = -1.0;  // before the first frame, any time is due
};

}  // namespace gelmo
