// Any value text from the settings file: no overflow, and a kind and the
// colour read from the same text differ by at most the rounding step; every
// accepted value reads back from the text the dialog writes for it.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "scr/settings/number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<std::int16_t> kind = gelmo::ReadInt16Setting(text);
  const std::optional<std::int32_t> colour = gelmo::ReadInt32Setting(text);
  if (kind) {
    // Rounding down and rounding to nearest of one number are at most 1 apart.
    if (!colour || *colour < *kind || *colour > *kind + 1) std::abort();
    if (gelmo::ReadInt16Setting(gelmo::FormatNumber(*kind)) != kind) std::abort();
  }
  if (colour && gelmo::ReadInt32Setting(gelmo::FormatNumber(*colour)) != colour) std::abort();
  return 0;
}
