// Any settings file: parsing never fails, saving and reading again changes
// nothing, and a key that is set reads back as set while the other keys keep
// their values.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "scr/settings/ini_file.h"
#include "scr/settings/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using gelmo::IniFile;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto same = [](std::string_view utf8) { return std::string(utf8); };
  IniFile file = IniFile::Parse(bytes, same);
  const std::string saved = file.Bytes();
  if (IniFile::Parse(saved, same).Bytes() != saved) std::abort();

  std::optional<std::string> before[gelmo::kSettingsKeys.size()];
  for (std::size_t i = 0; i < gelmo::kSettingsKeys.size(); ++i)
    before[i] = file.Get(gelmo::kSettingsSection, gelmo::kSettingsKeys[i]);
  file.Set(gelmo::kSettingsSection, gelmo::kBgmRepeatKey, " 7");
  IniFile again = IniFile::Parse(file.Bytes(), same);
  for (std::size_t i = 0; i < gelmo::kSettingsKeys.size(); ++i) {
    const std::optional<std::string> now = again.Get(gelmo::kSettingsSection, gelmo::kSettingsKeys[i]);
    if (gelmo::kSettingsKeys[i] == gelmo::kBgmRepeatKey ? now != "7" : now != before[i]) std::abort();
  }
  return 0;
}
