// The screensaver program's settings: the keys of ゲルモ.ini, SaverSettings,
// the path routines around them, and how a settings file becomes
// SaverSettings.  The profile calls and the file test themselves are the
// platform's; they come in as functions so that this part builds and is tested
// anywhere.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace gelmo {

// Texts are code page 932 bytes, written as escapes so that they do not depend
// on the compiler's execution character set.
inline constexpr std::string_view kSettingsSection = "Section";
inline constexpr std::string_view kSettingsFileName = "\x83\x51\x83\x8B\x83\x82.ini";  // ゲルモ.ini
inline constexpr std::string_view kObjKindKey = "OBJ\x8B\xE6\x95\xAA";         // OBJ区分
inline constexpr std::string_view kObjFileKey = "OBJ\xCC\xA7\xB2\xD9";         // OBJﾌｧｲﾙ
inline constexpr std::string_view kBackKindKey = "BACK\x8B\xE6\x95\xAA";       // BACK区分
inline constexpr std::string_view kBackFileKey = "BACK\xCC\xA7\xB2\xD9";       // BACKﾌｧｲﾙ
inline constexpr std::string_view kBackColourKey = "BACK\xB6\xD7\xB0";         // BACKｶﾗｰ
inline constexpr std::string_view kBgmKindKey = "BGM\x8B\xE6\x95\xAA";         // BGM区分
inline constexpr std::string_view kBgmRepeatKey = "BGM\xD8\xCB\xDF\xB0\xC4";   // BGMﾘﾋﾟｰﾄ
inline constexpr std::string_view kBgmFileKey = "BGM\xCC\xA7\xB2\xD9";         // BGMﾌｧｲﾙ
inline constexpr std::string_view kFillScreenKey = "\x91\x53\x89\xE6\x96\xCA";     // 全画面
inline constexpr std::string_view kSlideFolderKey = "\xBD\xD7\xB2\xC4\xDE\xCC\xAB\xD9\xC0\xDE";  // ｽﾗｲﾄﾞﾌｫﾙﾀﾞ
inline constexpr std::string_view kSlideSecondsKey = "\xBD\xD7\xB2\xC4\xDE\x8A\xD4\x8A\x75";     // ｽﾗｲﾄﾞ間隔
inline constexpr std::string_view kBgmFolderKey = "BGM\xCC\xAB\xD9\xC0\xDE";                    // BGMﾌｫﾙﾀﾞ

// All keys in the order in which they are read and written.  The ninth and
// the last three came later: a file without them is an older file and reads
// as 0, no folder, 60 seconds and no music folder.
inline constexpr std::array<std::string_view, 12> kSettingsKeys = {
    kObjKindKey,   kObjFileKey,    kBackKindKey,   kBackFileKey,    kBackColourKey,   kBgmKindKey,
    kBgmRepeatKey, kBgmFileKey,    kFillScreenKey, kSlideFolderKey, kSlideSecondsKey, kBgmFolderKey};

// How long each picture of a folder stays, in seconds: what the file may hold,
// and what it reads as otherwise.
inline constexpr std::int32_t kShortestSlideSeconds = 5;
inline constexpr std::int32_t kLongestSlideSeconds = 86400;
inline constexpr std::int32_t kDefaultSlideSeconds = 60;
// At most this many pictures, or songs, of a folder are taken.
inline constexpr std::size_t kMostSlidePictures = 100000;
inline constexpr std::size_t kMostSongs = 100000;

// The dialog addresses the two pictures by this index.
enum PictureIndex : std::size_t { kObjectPicture = 0, kBackPicture = 1 };

struct SaverSettings {
  std::int16_t ObjKind = 0;     // 0 desktop capture, 1 picture file, 2 the pictures of a folder
  std::int16_t BackKind = 0;    // 0 plain colour, 1 desktop capture, 2 picture file
  std::int32_t BackColour = 0;  // 0x00BBGGRR
  std::int16_t BgmKind = 0;     // 0 none, 1 audio CD, 2 a music file, 3 the songs of a folder
  std::int16_t BgmRepeat = 0;   // CD track to keep playing, 0 the whole disc
  std::int16_t FillScreen = 0;  // 1 the renderer covers every monitor, 0 its 1024 x 768 window
  std::array<std::string, 2> PictureFile;    // ObjFile, BackFile; empty when none
  std::array<std::string, 2> PictureFolder;  // where each picture chooser opens
  std::string BgmFile;
  std::string BgmFileFolder;  // where the music file chooser opens
  std::string BgmFolder;      // music kind 3; empty when none
  std::string SlideFolder;                          // object kind 2; empty when none
  std::int32_t SlideSeconds = kDefaultSlideSeconds;  // how long each of its pictures stays

  std::string& ObjFile() { return PictureFile[kObjectPicture]; }
  std::string& BackFile() { return PictureFile[kBackPicture]; }
  std::string& ObjFolder() { return PictureFolder[kObjectPicture]; }
  std::string& BackFolder() { return PictureFolder[kBackPicture]; }
  const std::string& ObjFile() const { return PictureFile[kObjectPicture]; }
  const std::string& BackFile() const { return PictureFile[kBackPicture]; }
  const std::string& ObjFolder() const { return PictureFolder[kObjectPicture]; }
  const std::string& BackFolder() const { return PictureFolder[kBackPicture]; }
};

// The folder part of a path: everything before its last ":" or "\" character,
// the ":" kept and the "\" dropped (C:\Pics\a.bmp -> C:\Pics, C:\a.bmp -> C:,
// C:a.bmp -> C:, a.bmp -> empty, \\server\share\x.mp3 -> \\server\share).
// Scans code page 932 characters, so a "\" trail byte is not a separator.
// The result is always a prefix of the path.
std::string FolderOfPath(std::string_view path);

// folder + "\" + name, without doubling the "\" when the folder already ends
// with one (the program's folder at a drive root is reported as "C:\").
std::string JoinPath(std::string_view folder, std::string_view name);

// The path the file test opens: one trailing "\" character dropped, so that a
// folder written as "C:\Pics\" is tested as "C:\Pics" (and found not to be a
// readable file).
std::string PathForFileTest(std::string_view path);

// Value text of one key of section "Section"; empty when the key, the section
// or the file is missing.
using ProfileReader = std::function<std::string(std::string_view key)>;
// Whether a file can be opened for reading.
using FileExistsTest = std::function<bool(const std::string& path)>;

// Fills SaverSettings from the settings file as start-up does once per run.
// A number that cannot be read, or is out of range, leaves its field 0; a
// picture file that no longer exists empties its path and sets its kind to 0,
// a missing music file empties the path and turns music kind 2 (file) into 0;
// every folder is the folder of its file, or the program's folder when the
// file is empty.  FillScreen is 1 only for a value that reads as 1.  The
// slide and music folders are kept as written; SlideSeconds outside 5 to
// 86400 reads as 60.
SaverSettings LoadSettingsFrom(const ProfileReader& read, const FileExistsTest& fileExists,
                               std::string_view programFolder);

}  // namespace gelmo
