// The settings file through the platform's profile routines, and the
// program-wide values of the main module.
#pragma once

#include <cstdint>
#include <string>

#include "scr/settings/settings.h"

namespace gelmo {

// Program-wide values, alive for the whole run.
extern SaverSettings g_saverSettings;
extern std::int32_t g_lastApiResult;    // result of the latest profile write or media command
extern int g_cursorShowCount;           // display count when start-up hid the cursor

// The value of one key (at most 255 bytes); empty when the key, the section
// or the file is missing.
std::string ReadIniString(const std::string& section, const std::string& key, const std::string& file);
// Writes one key; always returns an empty text, the platform's result goes to
// g_lastApiResult (0 when the write failed).
std::string WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                           const std::string& file);
// Writes out whatever the platform still holds back of the file's changes.
void FlushIniFile(const std::string& file);
// True when the file can be opened for reading (a trailing "\" is dropped
// first, so a folder gives false).
bool FileExists(const std::string& path);
// ゲルモ.ini in the program's folder.
std::string SettingsFilePath();
// Fills g_saverSettings from the settings file.
void LoadSettings();

}  // namespace gelmo
