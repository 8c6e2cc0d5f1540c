// The monitors as the platform lists them, for fill mode.
#pragma once

#include <vector>

#include "renderer/screen_layout.h"

namespace gelmo {

// Every monitor of the desk, in virtual-screen pixels (the caller's own:
// physical where it has declared itself DPI aware), in layout order.
std::vector<ScreenRect> DisplayMonitors();

}  // namespace gelmo
