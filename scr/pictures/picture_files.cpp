#include "scr/pictures/picture_files.h"

#include <algorithm>

namespace gelmo {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return Lower(x) == Lower(y);
         });
}

}  // namespace

std::vector<std::string> PictureExtensionsOf(const std::vector<std::string>& extensionLists) {
  std::vector<std::string> extensions;
  for (const std::string& list : extensionLists) {
    std::size_t start = 0;
    while (start <= list.size()) {
      // Decoders separate their extensions with "," (Windows's) or ";" (some of Wine's).
      const std::size_t end = std::min(list.find_first_of(",;", start), list.size());
      std::string extension = list.substr(start, end - start);
      start = end + 1;
      extension.erase(0, extension.find_first_not_of(' '));
      extension.erase(extension.find_last_not_of(' ') + 1);
      if (!extension.empty() && extension[0] == '.') extension.erase(0, 1);
      constexpr char kBreaking[] = {'*', '?', ' ', '\0'};
      if (extension.empty() || extension.find_first_of(kBreaking, 0, sizeof kBreaking) != std::string::npos)
        continue;
      if (std::none_of(extensions.begin(), extensions.end(),
                       [&](const std::string& seen) { return SameIgnoringCase(seen, extension); }))
        extensions.push_back(std::move(extension));
    }
  }
  return extensions;
}

bool HasPictureExtension(std::string_view name, const std::vector<std::string>& extensions) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string_view extension = name.substr(dot + 1);
  return std::any_of(extensions.begin(), extensions.end(),
                     [&](const std::string& known) { return SameIgnoringCase(known, extension); });
}

}  // namespace gelmo
