#include "scr/dialog/dialog_rules.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace gelmo {

KindDependentControls EnabledControls(std::int16_t objKind, std::int16_t backKind, std::int16_t bgmKind) {
  KindDependentControls c;
  c.objectFileButton = objKind != 0;
  c.colourButton = backKind == 0;
  c.backgroundFileButton = backKind == 2;
  c.repeatBox = bgmKind == 1;
  c.musicFileButton = bgmKind == 2;
  return c;
}

std::optional<int> MarkedOption(std::int16_t kind, int count) {
  if (kind < 0 || kind >= count) return std::nullopt;
  return kind;
}

std::string RepeatText(std::int32_t value) { return value == 0 ? std::string() : std::to_string(value); }

std::string PicturePattern(const std::vector<std::string>& extensionLists) {
  std::vector<std::string> seen;  // lower case
  std::string pattern;
  for (const std::string& list : extensionLists) {
    std::size_t start = 0;
    while (start <= list.size()) {
      // Decoders separate their extensions with "," (Windows's) or ";" (some of Wine's).
      std::size_t end = std::min(list.find_first_of(",;", start), list.size());
      std::string extension = list.substr(start, end - start);
      start = end + 1;
      extension.erase(0, extension.find_first_not_of(' '));
      extension.erase(extension.find_last_not_of(' ') + 1);
      if (!extension.empty() && extension[0] == '.') extension.erase(0, 1);
      // An extension that would break the pattern list is left out.
      constexpr char kBreaking[] = {'*', '?', ' ', '\0'};
      if (extension.empty() || extension.find_first_of(kBreaking, 0, sizeof kBreaking) != std::string::npos)
        continue;
      std::string lower = extension;
      for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
      if (std::find(seen.begin(), seen.end(), lower) != seen.end()) continue;
      seen.push_back(lower);
      pattern += (pattern.empty() ? "*." : ";*.") + extension;
    }
  }
  return pattern.empty() ? "*.BMP;*.JPG;*.JPEG" : pattern;
}

std::vector<std::string> RepeatList() {
  std::vector<std::string> list;
  for (int i = 0; i <= 30; ++i) list.push_back(RepeatText(i));
  return list;
}

WindowPlace DialogPlace(std::int32_t screenWidth, std::int32_t screenHeight, std::int32_t windowWidth,
                        std::int32_t windowHeight) {
  // C++ division truncates toward zero, as the placement wants.
  return {(screenWidth - windowWidth) / 2, (screenHeight - windowHeight) / 3};
}

int GradientGrey(double y, double height) {
  if (height <= 0) return 30;
  const double k = height / 3.142;
  // std::nearbyint rounds halves to the even neighbour in the default mode.
  return 30 + int(std::nearbyint(std::fabs(std::sin(y / k)) * 220));
}

}  // namespace gelmo
