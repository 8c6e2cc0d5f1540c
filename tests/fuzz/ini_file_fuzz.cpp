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
  // The conversion keeps the bytes, but as the platform's it yields no byte
  // that code page 932 lacks (0xFD to 0xFF): those become "?".
  const auto same = [](std::string_view utf8) {
    std::string cp932(utf8);
    for (char& c : cp932)
      if (static_cast<unsigned char>(c) >= 0xFD) c = '?';
    return cp932;
  };
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
