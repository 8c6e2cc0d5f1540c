// When to draw the next frame: on a fixed grid of one interval, so that
// frames never come faster than the grid allows, whatever wakes the loop,
// and a late frame does not make the next one come sooner.
#pragma once

namespace gelmo {

class FramePacer {
 public:
  explicit FramePacer(double interval) : interval_(interval) {}
  // True when a frame is due at `now` (seconds, any origin); the next frame
  // is then the first grid point after it.
  bool Due(double now);
  // Milliseconds from `now` to the next frame, at least 1.
  unsigned WaitMilliseconds(double now) const;

 private:
  double interval_;
  double next_ = -1.0;  // before the first frame, any time is due
};

// The renderer's grid for a display of `hertz` refreshes a second (60 where
// the display does not say, or says 0 or 1): a little shorter than one
// refresh, so that a driver that paces the frames itself never loses one to
// the grid, while one that does not is held to its display's rate.
double FrameIntervalFor(int hertz);

}  // namespace gelmo
