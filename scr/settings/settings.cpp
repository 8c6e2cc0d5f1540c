#include "scr/settings/settings.h"

#include "scr/settings/cp932.h"
#include "scr/settings/number_text.h"

namespace gelmo {
namespace {

// An empty value and an unreadable number both leave the field at 0.
std::int16_t ReadKind(const ProfileReader& read, std::string_view key) {
  return ReadInt16Setting(read(key)).value_or(0);
}

// A stored file that is gone is forgotten, so nobody later tries to load it.
std::string ReadExistingFile(const ProfileReader& read, std::string_view key,
                             const FileExistsTest& fileExists, bool& missing) {
  std::string path = read(key);
  missing = !path.empty() && !fileExists(path);
  if (missing) path.clear();
  return path;
}

std::string FolderOrProgramFolder(const std::string& file, std::string_view programFolder) {
  return file.empty() ? std::string(programFolder) : FolderOfPath(file);
}

}  // namespace

std::string FolderOfPath(std::string_view path) {
  std::size_t end = 0;  // bytes up to and including the last ":" or "\"
  bool lastIsBackslash = false;
  for (std::size_t pos = 0; pos < path.size();) {
    const std::size_t bytes = Cp932CharBytes(path, pos);
    if (bytes == 1 && (path[pos] == ':' || path[pos] == '\\')) {
      end = pos + 1;
      lastIsBackslash = path[pos] == '\\';
    }
    pos += bytes;
  }
  if (lastIsBackslash) --end;
  return std::string(path.substr(0, end));
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!Cp932EndsWith(folder, '\\')) path += '\\';
  path += name;
  return path;
}

std::string PathForFileTest(std::string_view path) {
  if (Cp932EndsWith(path, '\\')) path.remove_suffix(1);
  return std::string(path);
}

SaverSettings LoadSettingsFrom(const ProfileReader& read, const FileExistsTest& fileExists,
                               std::string_view programFolder) {
  SaverSettings s;
  bool missing = false;

  // An empty picture path keeps its kind: the dialog shows kind 1 with no
  // file chosen yet.  Only a file that has gone away resets the kind.
  s.ObjKind = ReadKind(read, kObjKindKey);
  s.ObjFile() = ReadExistingFile(read, kObjFileKey, fileExists, missing);
  if (missing) s.ObjKind = 0;
  s.ObjFolder() = FolderOrProgramFolder(s.ObjFile(), programFolder);

  s.BackKind = ReadKind(read, kBackKindKey);
  s.BackFile() = ReadExistingFile(read, kBackFileKey, fileExists, missing);
  if (missing) s.BackKind = 0;
  s.BackFolder() = FolderOrProgramFolder(s.BackFile(), programFolder);

  s.BackColour = ReadInt32Setting(read(kBackColourKey)).value_or(0);
  s.BgmKind = ReadKind(read, kBgmKindKey);
  s.BgmRepeat = ReadKind(read, kBgmRepeatKey);

  // Music kind 2 cannot play without its file, empty or gone; the audio CD
  // (kind 1) needs no file and stays.
  s.BgmFile = ReadExistingFile(read, kBgmFileKey, fileExists, missing);
  if (s.BgmFile.empty() && s.BgmKind == 2) s.BgmKind = 0;
  s.BgmFileFolder = FolderOrProgramFolder(s.BgmFile, programFolder);

  // A switch: anything but 1 keeps the 1024 x 768 window.
  s.FillScreen = ReadKind(read, kFillScreenKey) == 1 ? 1 : 0;

  s.SlideFolder = read(kSlideFolderKey);
  const std::int32_t seconds = ReadInt32Setting(read(kSlideSecondsKey)).value_or(0);
  s.SlideSeconds = seconds >= kShortestSlideSeconds && seconds <= kLongestSlideSeconds ? seconds : kDefaultSlideSeconds;
  s.BgmFolder = read(kBgmFolderKey);
  return s;
}

}  // namespace gelmo
