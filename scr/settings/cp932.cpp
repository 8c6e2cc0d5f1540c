#include "scr/settings/cp932.h"

namespace gelmo {

std::size_t Cp932CharOffset(std::string_view text, std::size_t n) {
  std::size_t pos = 0;
  for (std::size_t i = 1; i < n && pos < text.size(); ++i) pos += Cp932CharBytes(text, pos);
  return pos < text.size() ? pos : text.size();
}

bool Cp932EndsWith(std::string_view text, char c) {
  std::size_t last = text.size();
  for (std::size_t pos = 0; pos < text.size(); pos += Cp932CharBytes(text, pos)) last = pos;
  return last + 1 == text.size() && text[last] == c;
}

}  // namespace gelmo
