// The sample pictures, drawn in code at any size: an evening landscape (the
// sheet) and a seamless plasma tile (the backdrop; its period divides the
// tile, so the 2 x 2 tiling shows no seam).  The run command hands them to
// the renderer before any saver has written a picture, and the preview shows
// the landscape where the saver would capture the desktop.
#pragma once

#include "renderer/bmp_reader.h"

namespace gelmo {

BmpImage SampleLandscape(int width, int height);
BmpImage SamplePlasma(int size);

}  // namespace gelmo
