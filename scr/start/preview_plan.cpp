#include "scr/start/preview_plan.h"

#include <algorithm>
#include <cmath>

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

bool FramePacer::Due(double now) {
  if (now < next_) return false;
  // The grid point after now: frames stay on the grid however late this one is.
  next_ = next_ < 0 || now - next_ >= kInterval ? now + kInterval : next_ + kInterval;
  return true;
}

unsigned FramePacer::WaitMilliseconds(double now) const {
  const double ms = std::ceil((next_ - now) * 1000.0);
  return ms < 1.0 ? 1u : static_cast<unsigned>(ms);
}

}  // namespace gelmo
