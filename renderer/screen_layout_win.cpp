#include "renderer/screen_layout_win.h"

#include <windows.h>

namespace gelmo {
namespace {

BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT rect, LPARAM data) {
  reinterpret_cast<std::vector<ScreenRect>*>(data)->push_back(
      {rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top});
  return TRUE;
}

}  // namespace

std::vector<ScreenRect> DisplayMonitors() {
  std::vector<ScreenRect> monitors;
  EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
  return InLayoutOrder(std::move(monitors));
}

}  // namespace gelmo
