#include "scr/start/preview_plan.h"

#include <algorithm>

namespace gelmo {

PreviewLayers PreviewLayersFor(const SaverSettings& settings) {
  PreviewLayers layers;
  if (settings.ObjKind == 2)
    layers.sheet = {PreviewLayer::Kind::kFirstInFolder, settings.SlideFolder, 0};
  else if (settings.ObjKind != 0)
    layers.sheet = {PreviewLayer::Kind::kPicture, settings.ObjFile(), 0};
  if (settings.BackKind == 0)
    layers.backdrop = {PreviewLayer::Kind::kColour, "", settings.BackColour};
  else if (settings.BackKind == 2)
    layers.backdrop = {PreviewLayer::Kind::kPicture, settings.BackFile(), 0};
  else
    layers.backdrop = layers.sheet;
  return layers;
}

int PreviewPictureSide(int width, int height) { return std::clamp(2 * std::max(width, height), 128, 512); }

}  // namespace gelmo
