#include "renderer/frame_pacer.h"

#include <cmath>

namespace gelmo {

bool FramePacer::Due(double now) {
  if (now < next_) return false;
  // The grid point after now: frames stay on the grid however late this one is.
  next_ = next_ < 0 || now - next_ >= interval_ ? now + interval_ : next_ + interval_;
  return true;
}

unsigned FramePacer::WaitMilliseconds(double now) const {
  const double ms = std::ceil((next_ - now) * 1000.0);
  return ms < 1.0 ? 1u : static_cast<unsigned>(ms);
}

double FrameIntervalFor(int hertz) {
  // 0 and 1 are the platform's "the hardware's default rate".
  const int rate = hertz > 1 ? hertz : 60;
  return 0.96 / rate;
}

}  // namespace gelmo
