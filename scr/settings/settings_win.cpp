#include "scr/settings/settings_win.h"

#include <windows.h>

#include <cstring>

#include "scr/forms/program_win.h"

namespace gelmo {

SaverSettings g_saverSettings;
std::int32_t g_lastApiResult = 0;
int g_cursorShowCount = 0;

std::string ReadIniString(const std::string& section, const std::string& key, const std::string& file) {
  char value[256] = {};
  GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value, sizeof value, file.c_str());
  return std::string(value, strnlen(value, sizeof value));
}

std::string WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                           const std::string& file) {
  // Sections and keys of up to 127 characters.
  char sectionBuffer[128] = {};
  char keyBuffer[128] = {};
  lstrcpynA(sectionBuffer, section.c_str(), sizeof sectionBuffer);
  lstrcpynA(keyBuffer, key.c_str(), sizeof keyBuffer);
  g_lastApiResult = WritePrivateProfileStringA(sectionBuffer, keyBuffer, value.c_str(), file.c_str());
  return {};
}

void FlushIniFile(const std::string& file) { WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str()); }

bool FileExists(const std::string& path) { return forms::CanOpenForReading(PathForFileTest(path)); }

std::string SettingsFilePath() { return JoinPath(forms::ProgramFolder(), kSettingsFileName); }

void LoadSettings() {
  const std::string file = SettingsFilePath();
  const std::string section(kSettingsSection);
  g_saverSettings = LoadSettingsFrom(
      [&](std::string_view key) { return ReadIniString(section, std::string(key), file); }, FileExists,
      forms::ProgramFolder());
}

}  // namespace gelmo
