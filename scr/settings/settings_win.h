// The settings file on disk, and the program-wide values of the main module.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "scr/settings/settings.h"

namespace gelmo {

// Program-wide values, alive for the whole run.
extern SaverSettings g_saverSettings;
extern std::int32_t g_lastApiResult;    // result of the latest profile write or media command
extern int g_cursorShowCount;           // display count when start-up hid the cursor

// The value of one key (at most 255 bytes); empty when the key, the section
// or the file is missing.  The file is read as code page 932 (or as UTF-8
// when an editor has saved it so) whatever the machine's code page.
std::string ReadIniString(const std::string& section, const std::string& key, const std::string& file);
// Writes one key and the file with it, in code page 932 with CR LF line ends;
// always returns an empty text, the result goes to g_lastApiResult (0 when
// the file could not be written).
std::string WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                           const std::string& file);
// Writes several keys of one section in one replacement of the file: either
// all of them reach the disk or none does; the result goes to
// g_lastApiResult as for WriteIniString.  A file that cannot be read as
// settings (UTF-16 without a mark, say) is copied to "<file>.bak" first.
void WriteIniStrings(const std::string& section, const std::vector<std::pair<std::string, std::string>>& keys,
                     const std::string& file);
// True when the file can be opened for reading (a trailing "\" is dropped
// first, so a folder gives false).
bool FileExists(const std::string& path);
// ゲルモ.ini in the program's folder.
std::string SettingsFilePath();
// Fills g_saverSettings from the settings file.
void LoadSettings();

}  // namespace gelmo
