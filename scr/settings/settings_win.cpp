#include "scr/settings/settings_win.h"

#include <windows.h>

#include "scr/forms/program_win.h"
#include "scr/forms/text_win.h"
#include "scr/settings/cp932.h"
#include "scr/settings/ini_file.h"

namespace gelmo {

SaverSettings g_saverSettings;
std::int32_t g_lastApiResult = 0;
int g_cursorShowCount = 0;

namespace {

// The whole file; empty when it cannot be read (a missing file has no keys).
std::string ReadWholeFile(const std::string& path) {
  HANDLE file = CreateFileW(forms::Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return bytes;
}

// Writes the bytes over the file's own, in place.
bool WriteInPlace(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
                  written == bytes.size() && SetEndOfFile(file);
  CloseHandle(file);
  return ok;
}

// The file is replaced whole, so that a failure part-way (a full disk, the
// process ended, the power gone) leaves the old file as it was: the new bytes
// go to a temporary file in the same folder, to the disk, and then take the
// file's name in one rename.  Where that cannot be done but the file itself
// may be written, it is written in place: a folder that takes no new file,
// or a file another program holds open without letting it be renamed.
bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  const std::wstring target = forms::Wide(path);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  std::string folder = FolderOfPath(path);
  if (folder.empty()) folder = ".";
  if (folder.back() == ':') folder += '\\';  // the drive's root, not its current folder
  wchar_t temporary[MAX_PATH];
  if (!GetTempFileNameW(forms::Wide(folder).c_str(), L"gel", 0, temporary)) return WriteInPlace(target, bytes);
  HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  bool ok = file != INVALID_HANDLE_VALUE;
  if (ok) {
    DWORD written = 0;
    ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size() &&
         FlushFileBuffers(file);
    CloseHandle(file);
  }
  if (ok && attributes != INVALID_FILE_ATTRIBUTES)  // a hidden file stays hidden
    SetFileAttributesW(temporary, attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
  if (!ok) {
    DeleteFileW(temporary);
    return false;
  }
  if (MoveFileExW(temporary, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  // Refused (Windows says sharing violation, Wine access denied): held open,
  // or read-only, which the write in place refuses as well.
  const DWORD error = GetLastError();
  DeleteFileW(temporary);
  return (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED) && WriteInPlace(target, bytes);
}

// At most `bytes` bytes of the text, without cutting a double-byte character.
std::string Cp932Prefix(const std::string& text, std::size_t bytes) {
  std::size_t end = 0;
  while (end < text.size() && end + Cp932CharBytes(text, end) <= bytes) end += Cp932CharBytes(text, end);
  return text.substr(0, end);
}

IniFile ReadIniFile(const std::string& file) { return IniFile::Parse(ReadWholeFile(file), forms::Cp932FromUtf8); }

// A value as the readers get it: at most 255 bytes.
std::string ValueOf(const IniFile& ini, const std::string& section, const std::string& key) {
  return Cp932Prefix(ini.Get(section, key).value_or(""), 255);
}

}  // namespace

std::string ReadIniString(const std::string& section, const std::string& key, const std::string& file) {
  return ValueOf(ReadIniFile(file), section, key);
}

std::string WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                           const std::string& file) {
  WriteIniStrings(section, {{key, value}}, file);
  return {};
}

void WriteIniStrings(const std::string& section, const std::vector<std::pair<std::string, std::string>>& keys,
                     const std::string& file) {
  IniFile ini = ReadIniFile(file);
  // A file that cannot be read as settings is the user's own: kept beside
  // the new one, never lost.
  if (ini.unreadable() && !CopyFileW(forms::Wide(file).c_str(), forms::Wide(file + ".bak").c_str(), FALSE)) {
    g_lastApiResult = 0;
    return;
  }
  for (const auto& [key, value] : keys) ini.Set(Cp932Prefix(section, 127), Cp932Prefix(key, 127), value);
  g_lastApiResult = WriteWholeFile(file, ini.Bytes()) ? 1 : 0;
}

bool FileExists(const std::string& path) { return forms::CanOpenForReading(PathForFileTest(path)); }

std::string SettingsFilePath() { return JoinPath(forms::ProgramFolder(), kSettingsFileName); }

void LoadSettings() {
  // The file is read once for all its keys.
  const IniFile ini = ReadIniFile(SettingsFilePath());
  const std::string section(kSettingsSection);
  g_saverSettings = LoadSettingsFrom(
      [&](std::string_view key) { return ValueOf(ini, section, std::string(key)); }, FileExists,
      forms::ProgramFolder());
}

}  // namespace gelmo
