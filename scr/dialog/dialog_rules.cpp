#include "scr/dialog/dialog_rules.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "scr/pictures/picture_files.h"

namespace gelmo {

KindDependentControls EnabledControls(std::int16_t objKind, std::int16_t backKind, std::int16_t bgmKind) {
  KindDependentControls c;
  c.objectFileButton = objKind != 0 && objKind != 2;
  c.slideControls = objKind == 2;
  c.colourButton = backKind == 0;
  c.backgroundFileButton = backKind == 2;
  c.repeatBox = bgmKind == 1;
  c.musicFileButton = bgmKind == 2;
  c.musicFolderButton = bgmKind == 3;
  return c;
}

std::optional<int> MarkedOption(std::int16_t kind, int count) {
  if (kind < 0 || kind >= count) return std::nullopt;
  return kind;
}

std::string RepeatText(std::int32_t value) { return value == 0 ? std::string() : std::to_string(value); }

std::string PicturePattern(const std::vector<std::string>& extensionLists) {
  std::string pattern;
  for (const std::string& extension : PictureExtensionsOf(extensionLists))
    pattern += (pattern.empty() ? "*." : ";*.") + extension;
  return pattern.empty() ? "*.BMP;*.JPG;*.JPEG" : pattern;
}

std::string MusicPattern(const std::vector<std::string>& extensions) {
  std::string pattern;
  for (const std::string& extension : extensions)
    if (!extension.empty()) pattern += (pattern.empty() ? "*." : ";*.") + extension;
  return pattern.empty() ? "*.MP3;*.WAV" : pattern;
}

std::vector<SlideTimeEntry> SlideTimeList(std::int32_t stored) {
  constexpr char kSeconds[] = "\x95\x62", kMinutes[] = "\x95\xAA";  // 秒, 分
  auto entry = [&](std::int32_t seconds) {
    return SlideTimeEntry{seconds % 60 == 0 ? std::to_string(seconds / 60) + kMinutes
                                            : std::to_string(seconds) + kSeconds,
                          seconds};
  };
  std::vector<SlideTimeEntry> list;
  bool storedListed = false;
  for (std::int32_t seconds : {10, 30, 60, 180, 300, 600, 1800}) {
    if (!storedListed && stored < seconds) list.push_back(entry(stored));
    storedListed = storedListed || stored <= seconds;
    list.push_back(entry(seconds));
  }
  if (!storedListed) list.push_back(entry(stored));
  return list;
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
