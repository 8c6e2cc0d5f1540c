// The live preview's plan: what it shows on the sheet and the backdrop for
// the settings and how large it decodes the pictures.
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

}  // namespace gelmo
