// The settings file read and written on disk, with the keys in code page 932
// bytes, and the file test against real files.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

#include "scr/forms/program_win.h"
#include "scr/forms/text_win.h"
#include "scr/settings/settings_win.h"
#include "tests/win/child_process.h"

namespace gelmo {
namespace {

using testing::ScratchFolder;

class SettingsFile : public ::testing::Test {
 protected:
  ScratchFolder folder{"gelmo-settings-test"};
  std::string ini = folder / "ゲルモ.ini";
  std::string picture = folder / "picture.bmp";
  std::string music = folder / "music.mp3";

  void SetUp() override {
    std::ofstream(picture) << "picture";
    std::ofstream(music) << "music";
  }
  void Write(const std::string& lines) { std::ofstream(ini, std::ios::binary) << "[Section]\r\n" << lines; }
  static std::string Line(std::string_view key, const std::string& value) {
    return std::string(key) + "=" + value + "\r\n";
  }
  SaverSettings Load() {
    return LoadSettingsFrom([&](std::string_view key) { return ReadIniString("Section", std::string(key), ini); },
                            FileExists, "C:\\Program");
  }
};

TEST_F(SettingsFile, KindsStayWhenPathsAreEmptyButMusicFileKindNeedsItsFile) {
  Write(Line(kObjKindKey, "1") + Line(kBgmKindKey, " 2"));
  SaverSettings s = Load();
  EXPECT_EQ(s.ObjKind, 1);
  EXPECT_EQ(s.ObjFile(), "");
  EXPECT_EQ(s.ObjFolder(), "C:\\Program");
  EXPECT_EQ(s.BgmKind, 0);
  EXPECT_EQ(s.BgmFileFolder, "C:\\Program");

  Write(Line(kBgmKindKey, " 1"));
  EXPECT_EQ(Load().BgmKind, 1);  // the audio CD needs no file
}

TEST_F(SettingsFile, ExistingFilesKeepTheirKindsAndGiveTheirFolders) {
  Write(Line(kObjKindKey, " 1") + Line(kObjFileKey, picture) + Line(kBackKindKey, " 2") +
        Line(kBackFileKey, picture) + Line(kBgmKindKey, " 2") + Line(kBgmRepeatKey, " 3") +
        Line(kBgmFileKey, music));
  SaverSettings s = Load();
  EXPECT_EQ(s.ObjKind, 1);
  EXPECT_EQ(s.ObjFile(), picture);
  EXPECT_EQ(s.ObjFolder(), folder.path());
  EXPECT_EQ(s.BackKind, 2);
  EXPECT_EQ(s.BackFolder(), folder.path());
  EXPECT_EQ(s.BgmKind, 2);
  EXPECT_EQ(s.BgmRepeat, 3);
  EXPECT_EQ(s.BgmFile, music);
  EXPECT_EQ(s.BgmFileFolder, folder.path());
}

TEST_F(SettingsFile, DeletedFilesClearTheirPathsAndKinds) {
  Write(Line(kObjKindKey, " 1") + Line(kObjFileKey, folder / "gone.jpg") + Line(kBackKindKey, " 2") +
        Line(kBackFileKey, folder / "gone.bmp") + Line(kBgmKindKey, " 2") + Line(kBgmFileKey, folder / "gone.mp3"));
  SaverSettings s = Load();
  EXPECT_EQ(s.ObjKind, 0);
  EXPECT_EQ(s.ObjFile(), "");
  EXPECT_EQ(s.BackKind, 0);
  EXPECT_EQ(s.BackFile(), "");
  EXPECT_EQ(s.BgmKind, 0);
  EXPECT_EQ(s.BgmFile, "");
  EXPECT_EQ(s.BackFolder(), "C:\\Program");
}

TEST_F(SettingsFile, NumbersFollowTheRuntimesRules) {
  const struct { const char* kind; int expected; } kinds[] = {{"1.7", 1}, {"-0.5", -1}, {"40000", 0}, {"abc", 0}, {" 2", 2}};
  for (const auto& k : kinds) {
    Write(Line(kObjKindKey, k.kind));
    EXPECT_EQ(Load().ObjKind, k.expected) << k.kind;
  }
  const struct { const char* colour; std::int32_t expected; } colours[] = {
      {"16777215", 0x00FFFFFF}, {" 255", 255}, {"red", 0}, {"2.5", 2}, {"99999999999", 0}};
  for (const auto& c : colours) {
    Write(Line(kBackColourKey, c.colour));
    EXPECT_EQ(Load().BackColour, c.expected) << c.colour;
  }
}

TEST_F(SettingsFile, MissingFileReadsAsNoKeys) {
  SaverSettings s = Load();  // nothing written
  EXPECT_EQ(s.ObjKind | s.BackKind | s.BgmKind | s.BgmRepeat, 0);
  EXPECT_EQ(s.BackColour, 0);
  EXPECT_EQ(s.ObjFolder(), "C:\\Program");
  EXPECT_EQ(s.BackFolder(), "C:\\Program");
  EXPECT_EQ(s.BgmFileFolder, "C:\\Program");
}

TEST_F(SettingsFile, WritesGoToTheFileAtOnceAndReportTheirResult) {
  Write(Line(kObjKindKey, " 1"));
  EXPECT_EQ(WriteIniString("Section", std::string(kBgmRepeatKey), " 12", ini), "");
  EXPECT_NE(g_lastApiResult, 0);
  EXPECT_EQ(ReadIniString("Section", std::string(kBgmRepeatKey), ini), "12");  // read without the blank
  std::ifstream in(ini, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), {});
  // The blank before the number stays in the file, as a Japanese Windows writes it.
  EXPECT_EQ(text, "[Section]\r\n" + Line(kObjKindKey, " 1") + Line(kBgmRepeatKey, " 12"));

  WriteIniString("Section", "key", "value", "C:\\no such folder\\x.ini");
  EXPECT_EQ(g_lastApiResult, 0);

  const std::string longValue(400, 'x');
  WriteIniString("Section", "long", longValue, ini);
  EXPECT_EQ(ReadIniString("Section", "long", ini), longValue.substr(0, 255));
  WriteIniString("Section", "kanji", std::string(254, 'x') + "\x95\x5C", ini);
  EXPECT_EQ(ReadIniString("Section", "kanji", ini), std::string(254, 'x')) << "no half character";
  EXPECT_EQ(ReadIniString("Section", "missing", ini), "");
  EXPECT_EQ(ReadIniString("Other", std::string(kBgmRepeatKey), ini), "");
}

// Notepad's UTF-8, with its mark: read through the platform's conversion,
// written back in code page 932.
TEST_F(SettingsFile, AFileResavedAsUtf8IsReadAndSavedIn932) {
  std::ofstream(ini, std::ios::binary) << "\xEF\xBB\xBF[Section]\r\nOBJ\xE5\x8C\xBA\xE5\x88\x86= 1\r\n"
                                       << "BGM\xEF\xBE\x98\xEF\xBE\x8B\xEF\xBE\x9F\xEF\xBD\xB0\xEF\xBE\x84= 3\r\n";
  SaverSettings s = Load();
  EXPECT_EQ(s.ObjKind, 1);
  EXPECT_EQ(s.BgmRepeat, 3);
  WriteIniString("Section", std::string(kBgmKindKey), " 0", ini);
  std::ifstream in(ini, std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}),
            "[Section]\r\n" + Line(kObjKindKey, " 1") + Line(kBgmRepeatKey, " 3") + Line(kBgmKindKey, " 0"));
}

// A save replaces the file whole or not at all, and never writes over a file
// it cannot read (UTF-16 without its mark) without keeping a copy of it.
TEST_F(SettingsFile, ASaveReplacesTheFileWholeOrLeavesItAsItWas) {
  auto bytesOf = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
  };
  const std::string old = "[Section]\r\n" + Line(kObjKindKey, " 1") + "[Other]\r\nmine=1\r\n";
  std::ofstream(ini, std::ios::binary) << old;
  // Held open by a program that lets others only read it: neither the
  // replacement nor a write in place can be made, and the old bytes stay.
  HANDLE held = CreateFileW(forms::Wide(ini).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  WriteIniStrings("Section", {{std::string(kObjKindKey), " 0"}, {std::string(kBgmKindKey), " 2"}}, ini);
  EXPECT_EQ(g_lastApiResult, 0);
  CloseHandle(held);
  EXPECT_EQ(bytesOf(ini), old);

  WriteIniStrings("Section", {{std::string(kObjKindKey), " 0"}, {std::string(kBgmKindKey), " 2"}}, ini);
  EXPECT_EQ(g_lastApiResult, 1);
  EXPECT_EQ(bytesOf(ini), "[Section]\r\n" + Line(kObjKindKey, " 0") + Line(kBgmKindKey, " 2") + "[Other]\r\nmine=1\r\n");

  const std::string unmarked("[\0S\0]\0\r\0\n\0", 10);
  std::ofstream(ini, std::ios::binary) << unmarked;
  EXPECT_EQ(ReadIniString("Section", std::string(kObjKindKey), ini), "");
  WriteIniString("Section", std::string(kObjKindKey), " 1", ini);
  EXPECT_EQ(g_lastApiResult, 1);
  EXPECT_EQ(bytesOf(ini + ".bak"), unmarked);
  EXPECT_EQ(bytesOf(ini), "[Section]\r\n" + Line(kObjKindKey, " 1"));
  // Nothing else is left in the folder: no temporary file survives a save.
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(forms::Wide(folder / "*").c_str(), &found);
  int files = 0;
  do files += !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  while (FindNextFileW(search, &found));
  FindClose(search);
  EXPECT_EQ(files, 4) << "ゲルモ.ini, its .bak, picture.bmp, music.mp3";
}

TEST(FileExists, OnlyFilesThatCanBeOpenedForReading) {
  ScratchFolder folder("gelmo-file-exists");
  const std::string plain = folder / "plain.txt", readOnly = folder / "read-only.txt", locked = folder / "locked.txt";
  for (const std::string& f : {plain, readOnly, locked}) std::ofstream(f) << "x";
  SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
  HANDLE lock = CreateFileA(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);

  EXPECT_TRUE(FileExists(plain));
  EXPECT_TRUE(FileExists(readOnly));
  EXPECT_FALSE(FileExists(locked));
  EXPECT_FALSE(FileExists(folder.path()));
  EXPECT_FALSE(FileExists(folder.path() + "\\"));
  EXPECT_FALSE(FileExists(folder / "missing.txt"));
  EXPECT_FALSE(FileExists(""));
  CloseHandle(lock);
  EXPECT_TRUE(FileExists(locked));
}

TEST(LoadSettings, ReadsTheFileBesideTheProgram) {
  const std::string ini = SettingsFilePath();
  EXPECT_EQ(ini, forms::ProgramFolder() + "\\ゲルモ.ini");
  std::ofstream(ini, std::ios::binary) << "[Section]\r\n" << kBgmKindKey << "= 1\r\n" << kBackColourKey << "= 65280\r\n";
  LoadSettings();
  DeleteFileA(ini.c_str());
  EXPECT_EQ(g_saverSettings.BgmKind, 1);
  EXPECT_EQ(g_saverSettings.BackColour, 0x00FF00);
  EXPECT_EQ(g_saverSettings.ObjFolder(), forms::ProgramFolder());
}

}  // namespace
}  // namespace gelmo
