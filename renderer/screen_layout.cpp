#include "renderer/screen_layout.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <tuple>

namespace gelmo {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kCameraDistance = 5.0;   // from the camera to the backdrop's plane
constexpr double kShortSideDegrees = 55.0;
// The backdrop is a 10 x 10 square turning about the view's axis: only what
// lies within 5 of the axis is covered at every angle.  The view's corners
// stay a little inside that.
constexpr double kCoveredRadius = 4.8;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

}  // namespace

bool HasSwitchWord(std::string_view arguments, std::string_view word) {
  std::size_t pos = 0;
  while (pos < arguments.size()) {
    while (pos < arguments.size() && IsBlank(arguments[pos])) ++pos;
    std::size_t end = pos;
    while (end < arguments.size() && !IsBlank(arguments[end])) ++end;
    if (end > pos && SameWord(arguments.substr(pos, end - pos), word)) return true;
    pos = end;
  }
  return false;
}

std::vector<ScreenRect> InLayoutOrder(std::vector<ScreenRect> monitors) {
  auto key = [](const ScreenRect& m) { return std::tuple(!(m.left == 0 && m.top == 0), m.left, m.top); };
  std::stable_sort(monitors.begin(), monitors.end(),
                   [&](const ScreenRect& a, const ScreenRect& b) { return key(a) < key(b); });
  return monitors;
}

std::string MonitorBitmapPath(std::string_view first, std::size_t index) {
  std::string path(first);
  if (index == 0) return path;
  const std::size_t dot = path.rfind('.'), slash = path.find_last_of("\\/");
  const std::size_t at = dot != std::string::npos && (slash == std::string::npos || dot > slash) ? dot : path.size();
  return path.insert(at, "-" + std::to_string(index + 1));
}

std::vector<Viewport> MonitorViewports(const ScreenRect& window, const std::vector<ScreenRect>& monitors) {
  std::vector<Viewport> views;
  const int windowRight = window.left + window.width, windowBottom = window.top + window.height;
  for (const ScreenRect& m : monitors) {
    const int left = std::max(m.left, window.left), top = std::max(m.top, window.top);
    const int right = std::min(m.left + m.width, windowRight);
    const int bottom = std::min(m.top + m.height, windowBottom);
    if (right <= left || bottom <= top) continue;
    views.push_back({left - window.left, windowBottom - bottom, right - left, bottom - top});
  }
  if (views.empty()) views.push_back({0, 0, window.width, window.height});
  return views;
}

double FieldOfViewFor(int width, int height) {
  const double w = std::max(width, 1), h = std::max(height, 1);
  const double ratio = std::max(w, h) / std::min(w, h);
  // Half the short side, and then half the height, at the backdrop's plane.
  const double wanted = kCameraDistance * std::tan(kShortSideDegrees / 2 * kPi / 180);
  const double halfShort = std::min(wanted, kCoveredRadius / std::sqrt(1 + ratio * ratio));
  const double halfHeight = h <= w ? halfShort : halfShort * ratio;
  return 2 * std::atan(halfHeight / kCameraDistance) * 180 / kPi;
}

}  // namespace gelmo
