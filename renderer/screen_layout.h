// Fill mode: the renderer's one window covers the whole virtual screen and the
// scene is drawn once per monitor, each in its own viewport and with a
// projection for that monitor's shape.  Plain arithmetic, so it is tested
// anywhere.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace gelmo {

// A rectangle in virtual-screen pixels (y grows downwards).
struct ScreenRect {
  int left, top, width, height;
};

// A GL viewport in the window: origin at the bottom-left, y grows upwards.
struct Viewport {
  int x, y, width, height;
  bool operator==(const Viewport& o) const {
    return x == o.x && y == o.y && width == o.width && height == o.height;
  }
};

// Whether the argument text holds the word, by itself and in any case
// ("/fill", "/FILL"), among words separated by blanks.
bool HasSwitchWord(std::string_view arguments, std::string_view word);

// The monitors in the order of the monitor layout, as both programs number
// them: the primary (its top-left corner at the virtual screen's origin)
// first, then the others from left to right, and from the top down where
// they share a left edge.
std::vector<ScreenRect> InLayoutOrder(std::vector<ScreenRect> monitors);

// Fill mode with a picture on each monitor: the hand-off bitmap of monitor
// `index` (0 the first in layout order).  The first monitor's is `first`
// itself; the second's is `first` with "-2" before its extension
// ("C:\Gelmo01-2.bmp"), and so on.
std::string MonitorBitmapPath(std::string_view first, std::size_t index);

// One viewport per monitor, for a window that covers `window`: the part of
// each monitor inside the window, in the window's GL coordinates.  Monitors
// outside the window are left out; with none left, the whole window is one
// viewport.
std::vector<Viewport> MonitorViewports(const ScreenRect& window, const std::vector<ScreenRect>& monitors);

// The vertical field of view, in degrees, for a viewport of this size.  The
// 1024 x 768 window sees 55 degrees across its short side; every monitor sees
// as much across its own short side (so a portrait monitor shows the scene
// upright, at the same size), narrowed only where the view's corners would
// otherwise pass beyond the turning backdrop.
double FieldOfViewFor(int width, int height);

}  // namespace gelmo
