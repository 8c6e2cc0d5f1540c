// Paths and the loading of ゲルモ.ini into SaverSettings, with a profile and a
// set of existing files held in memory.
#include "scr/settings/settings.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <map>
#include <set>

#include "scr/settings/ini_file.h"

namespace gelmo {
namespace {

const std::string kProgramFolder = "C:\\Program Files\\Gelmo";

// The key names as the file holds them, byte for byte.
TEST(Settings, KeysAreCodePage932BytesInFileOrder) {
  const std::vector<std::vector<int>> bytes = {
      {0x4F, 0x42, 0x4A, 0x8B, 0xE6, 0x95, 0xAA},       {0x4F, 0x42, 0x4A, 0xCC, 0xA7, 0xB2, 0xD9},
      {0x42, 0x41, 0x43, 0x4B, 0x8B, 0xE6, 0x95, 0xAA}, {0x42, 0x41, 0x43, 0x4B, 0xCC, 0xA7, 0xB2, 0xD9},
      {0x42, 0x41, 0x43, 0x4B, 0xB6, 0xD7, 0xB0},       {0x42, 0x47, 0x4D, 0x8B, 0xE6, 0x95, 0xAA},
      {0x42, 0x47, 0x4D, 0xD8, 0xCB, 0xDF, 0xB0, 0xC4}, {0x42, 0x47, 0x4D, 0xCC, 0xA7, 0xB2, 0xD9},
      {0x91, 0x53, 0x89, 0xE6, 0x96, 0xCA},
      {0xBD, 0xD7, 0xB2, 0xC4, 0xDE, 0xCC, 0xAB, 0xD9, 0xC0, 0xDE},   {0xBD, 0xD7, 0xB2, 0xC4, 0xDE, 0x8A, 0xD4, 0x8A, 0x75},
      {0x42, 0x47, 0x4D, 0xCC, 0xAB, 0xD9, 0xC0, 0xDE}};
  ASSERT_EQ(kSettingsKeys.size(), bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::vector<int> actual;
    for (char c : kSettingsKeys[i]) actual.push_back(static_cast<unsigned char>(c));
    EXPECT_EQ(actual, bytes[i]) << "key " << i;
  }
  EXPECT_EQ(kSettingsFileName, "\x83\x51\x83\x8B\x83\x82.ini");
}

TEST(Settings, FolderOfPathCutsAtTheLastColonOrBackslashCharacter) {
  const struct {
    std::string path, folder;
  } cases[] = {
      {"C:\\Pics\\a.bmp", "C:\\Pics"}, {"C:\\a.bmp", "C:"}, {"C:a.bmp", "C:"}, {"a.bmp", ""},
      {"", ""}, {"\\\\server\\share\\x.mp3", "\\\\server\\share"}, {"C:\\", "C:"},
      {"C:\\Pics\\", "C:\\Pics"}, {"\\", ""}, {"\\\\", "\\"},
      // "表" is 95 5C: its trail byte is no separator
      {"C:\\\x95\x5C.bmp", "C:"}, {"C:\\\x95\x5C\\a.bmp", "C:\\\x95\x5C"}, {"\x95\x5C", ""},
      {"\x95\x5C\x95\x5C", ""}, {"D:\\\xCC\xA7\xB2\xD9\\b.mp3", "D:\\\xCC\xA7\xB2\xD9"},  // half-width ﾌｧｲﾙ
      {"C:\\x\\\x95", "C:\\x"},  // a lead byte at the end is a character of its own
  };
  for (const auto& c : cases) EXPECT_EQ(FolderOfPath(c.path), c.folder) << c.path;
}

TEST(Settings, JoinPathAndFileTestPathHandleTrailingBackslashCharacters) {
  EXPECT_EQ(JoinPath("C:\\Prog", "a.dll"), "C:\\Prog\\a.dll");
  EXPECT_EQ(JoinPath("C:\\", "a.dll"), "C:\\a.dll");
  EXPECT_EQ(JoinPath("C:\\\x95\x5C", "a.dll"), "C:\\\x95\x5C\\a.dll");

  EXPECT_EQ(PathForFileTest("C:\\Pics\\"), "C:\\Pics");
  EXPECT_EQ(PathForFileTest("C:\\Pics\\\\"), "C:\\Pics\\");  // only one is dropped
  EXPECT_EQ(PathForFileTest("C:\\\x95\x5C"), "C:\\\x95\x5C");
  EXPECT_EQ(PathForFileTest("C:\\a.bmp"), "C:\\a.bmp");
  EXPECT_EQ(PathForFileTest(""), "");
}

class LoadSettingsTest : public ::testing::Test {
 protected:
  SaverSettings Load() {
    return LoadSettingsFrom(
        [this](std::string_view key) {
          auto it = profile.find(std::string(key));
          return it == profile.end() ? std::string() : it->second;
        },
        [this](const std::string& path) {
          tested.push_back(path);
          return files.count(path) != 0;
        },
        kProgramFolder);
  }
  void Set(std::string_view key, std::string value) { profile[std::string(key)] = std::move(value); }

  std::map<std::string, std::string> profile;
  std::set<std::string> files;
  std::vector<std::string> tested;
};

TEST_F(LoadSettingsTest, MissingFileGivesZerosAndTheProgramFolder) {
  const SaverSettings s = Load();
  EXPECT_EQ(s.ObjKind, 0);
  EXPECT_EQ(s.BackKind, 0);
  EXPECT_EQ(s.BackColour, 0);
  EXPECT_EQ(s.BgmKind, 0);
  EXPECT_EQ(s.BgmRepeat, 0);
  EXPECT_EQ(s.PictureFile, (std::array<std::string, 2>{}));
  EXPECT_EQ(s.BgmFile, "");
  EXPECT_EQ(s.PictureFolder, (std::array<std::string, 2>{kProgramFolder, kProgramFolder}));
  EXPECT_EQ(s.BgmFileFolder, kProgramFolder);
  EXPECT_EQ(s.FillScreen, 0);
  EXPECT_TRUE(tested.empty());  // no file test for empty paths
}

TEST_F(LoadSettingsTest, FullFileLoadsEveryFieldAndTheFoldersOfTheFiles) {
  Set(kObjKindKey, " 1");
  Set(kObjFileKey, "C:\\Pics\\obj.jpg");
  Set(kBackKindKey, " 2");
  Set(kBackFileKey, "D:\\\x95\x5C\\back.bmp");
  Set(kBackColourKey, " 16777215");
  Set(kBgmKindKey, " 2");
  Set(kBgmRepeatKey, " 3");
  Set(kBgmFileKey, "\\\\server\\share\\x.mp3");
  Set(kFillScreenKey, " 1");
  files = {"C:\\Pics\\obj.jpg", "D:\\\x95\x5C\\back.bmp", "\\\\server\\share\\x.mp3"};
  const SaverSettings s = Load();
  EXPECT_EQ(s.ObjKind, 1);
  EXPECT_EQ(s.ObjFile(), "C:\\Pics\\obj.jpg");
  EXPECT_EQ(s.ObjFolder(), "C:\\Pics");
  EXPECT_EQ(s.BackKind, 2);
  EXPECT_EQ(s.BackFile(), "D:\\\x95\x5C\\back.bmp");
  EXPECT_EQ(s.BackFolder(), "D:\\\x95\x5C");
  EXPECT_EQ(s.BackColour, 0x00FFFFFF);
  EXPECT_EQ(s.BgmKind, 2);
  EXPECT_EQ(s.BgmRepeat, 3);
  EXPECT_EQ(s.BgmFile, "\\\\server\\share\\x.mp3");
  EXPECT_EQ(s.BgmFileFolder, "\\\\server\\share");
  EXPECT_EQ(s.FillScreen, 1);
  EXPECT_EQ(tested, (std::vector<std::string>{"C:\\Pics\\obj.jpg", "D:\\\x95\x5C\\back.bmp",
                                              "\\\\server\\share\\x.mp3"}));
}

TEST_F(LoadSettingsTest, EmptyPicturePathKeepsItsKind) {
  Set(kObjKindKey, "1");
  Set(kBackKindKey, " 2");
  const SaverSettings s = Load();
  EXPECT_EQ(s.ObjKind, 1);
  EXPECT_EQ(s.ObjFile(), "");
  EXPECT_EQ(s.ObjFolder(), kProgramFolder);
  EXPECT_EQ(s.BackKind, 2);
  EXPECT_EQ(s.BackFolder(), kProgramFolder);
}

TEST_F(LoadSettingsTest, DeletedPictureFileClearsThePathAndTheKind) {
  Set(kObjKindKey, " 1");
  Set(kObjFileKey, "C:\\Pics\\gone.bmp");
  Set(kBackKindKey, " 2");
  Set(kBackFileKey, "C:\\Pics\\gone2.bmp");
  Set(kBgmKindKey, " 1");
  const SaverSettings s = Load();
  EXPECT_EQ(s.ObjKind, 0);
  EXPECT_EQ(s.ObjFile(), "");
  EXPECT_EQ(s.ObjFolder(), kProgramFolder);
  EXPECT_EQ(s.BackKind, 0);
  EXPECT_EQ(s.BackFile(), "");
  EXPECT_EQ(s.BackFolder(), kProgramFolder);
  EXPECT_EQ(s.BgmKind, 1);  // the other settings are untouched
}

TEST_F(LoadSettingsTest, MusicKindTwoNeedsAnExistingFileOtherKindsDoNot) {
  const struct {
    const char* kind;
    const char* file;  // nullptr: no line; "gone": a file that does not exist
    std::int16_t expectedKind;
    const char* expectedFile;
  } cases[] = {
      {" 2", nullptr, 0, ""}, {"2", "", 0, ""},       {" 2", "gone", 0, ""},
      {" 2", "C:\\m.mp3", 2, "C:\\m.mp3"},            {" 1", nullptr, 1, ""},
      {" 1", "gone", 1, ""},  {" 0", "C:\\m.mp3", 0, "C:\\m.mp3"},
      {" 3", nullptr, 3, ""},  // out-of-meaning kinds are kept as they are
  };
  for (const auto& c : cases) {
    profile.clear();
    files = {"C:\\m.mp3"};
    Set(kBgmKindKey, c.kind);
    if (c.file) Set(kBgmFileKey, c.file);
    const SaverSettings s = Load();
    EXPECT_EQ(s.BgmKind, c.expectedKind) << c.kind << " / " << (c.file ? c.file : "(none)");
    EXPECT_EQ(s.BgmFile, c.expectedFile) << c.kind;
    EXPECT_EQ(s.BgmFileFolder, *c.expectedFile ? "C:" : kProgramFolder) << c.kind;
  }
}

TEST_F(LoadSettingsTest, UnreadableOrOutOfRangeNumbersLeaveZero) {
  Set(kObjKindKey, "1.7");
  Set(kBackKindKey, "-0.5");
  Set(kBackColourKey, "white");
  Set(kBgmKindKey, "40000");
  Set(kBgmRepeatKey, "1e400");
  SaverSettings s = Load();
  EXPECT_EQ(s.ObjKind, 1);
  EXPECT_EQ(s.BackKind, -1);
  EXPECT_EQ(s.BackColour, 0);
  EXPECT_EQ(s.BgmKind, 0);
  EXPECT_EQ(s.BgmRepeat, 0);

  Set(kBackColourKey, "4294967295");  // beyond 32 bits signed
  Set(kBgmRepeatKey, " 12");
  s = Load();
  EXPECT_EQ(s.BackColour, 0);
  EXPECT_EQ(s.BgmRepeat, 12);
}

TEST_F(LoadSettingsTest, FillScreenIsOnOnlyForOne) {
  for (const char* value : {"1", " 1", "1.9", "+1"}) {
    Set(kFillScreenKey, value);
    EXPECT_EQ(Load().FillScreen, 1) << value;
  }
  for (const char* value : {" 0", " 2", "-1", "0.9", "yes", "65537", ""}) {
    Set(kFillScreenKey, value);
    EXPECT_EQ(Load().FillScreen, 0) << value;
  }
}

TEST_F(LoadSettingsTest, SlideAndMusicFoldersAsWrittenAndSecondsFrom5To86400Else60) {
  SaverSettings s = Load();  // an older file: no folders, a minute each
  EXPECT_EQ(s.SlideFolder, "");
  EXPECT_EQ(s.BgmFolder, "");
  EXPECT_EQ(s.SlideSeconds, 60);
  Set(kObjKindKey, " 2");
  Set(kSlideFolderKey, "C:\\\x95\x5C");  // 表, whose second byte is "\"
  Set(kBgmKindKey, " 3");
  Set(kBgmFolderKey, "D:\\Music\\");
  Set(kBgmFileKey, "C:\\gone.mp3");  // a music file gone does not touch kind 3
  for (const auto& [value, seconds] : std::vector<std::pair<const char*, int>>{
           {" 5", 5}, {" 86400", 86400}, {"30", 30}, {" 4", 60}, {" 86401", 60}, {"-10", 60}, {"x", 60}, {"", 60}}) {
    Set(kSlideSecondsKey, value);
    s = Load();
    EXPECT_EQ(s.SlideSeconds, seconds) << value;
  }
  EXPECT_EQ(s.ObjKind, 2);
  EXPECT_EQ(s.SlideFolder, "C:\\\x95\x5C");
  EXPECT_EQ(s.BgmKind, 3);
  EXPECT_EQ(s.BgmFolder, "D:\\Music\\");
}

// ---- the file itself --------------------------------------------------------------

// The conversion the platform makes, from glibc's table of the same code page.
std::string Utf8ToCp932ByIconv(std::string_view utf8) {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  std::string out(utf8.size() * 2 + 4, '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size(), outLeft = out.size();
  char* o = &out[0];
  while (inLeft > 0 && iconv(cd, &in, &inLeft, &o, &outLeft) == std::size_t(-1)) {
    ++in, --inLeft;  // a character 932 lacks: one "?" per byte is enough here
    *o++ = '?', --outLeft;
  }
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

IniFile ParseIni(std::string_view bytes) { return IniFile::Parse(bytes, Utf8ToCp932ByIconv); }

// As a Japanese Windows writes it, with a line of another program and a
// second section.
const std::string kJapaneseFile =
    "[Section]\r\nOBJ\x8B\xE6\x95\xAA= 1\r\nOBJ\xCC\xA7\xB2\xD9=C:\\\x95\x5C\\a.jpg\r\n"
    "BGM\xD8\xCB\xDF\xB0\xC4= 12\r\nother=\"  quoted \"\r\n\r\n[Other]\r\nOBJ\x8B\xE6\x95\xAA= 5\r\n";

TEST(IniFile, FindsSectionsAndKeysWithoutRegardToCaseAndTrimsValues) {
  const IniFile file = ParseIni(kJapaneseFile);
  EXPECT_EQ(file.Get("Section", kObjKindKey), "1");
  EXPECT_EQ(file.Get("section", "obj\x8B\xE6\x95\xAA"), "1");
  EXPECT_EQ(file.Get(" SECTION ", kObjFileKey), "C:\\\x95\x5C\\a.jpg");
  EXPECT_EQ(file.Get("Section", kBgmRepeatKey), "12");
  EXPECT_EQ(file.Get("Section", "OTHER"), "  quoted ");  // one pair of quotes goes
  EXPECT_EQ(file.Get("Other", kObjKindKey), "5");
  EXPECT_EQ(file.Get("Section", kBgmFileKey), std::nullopt);
  EXPECT_EQ(file.Get("Missing", kObjKindKey), std::nullopt);
  // The second byte of a double-byte character keeps its case: ア (83 41) is not チ (83 61).
  EXPECT_EQ(ParseIni("[s]\r\n\x83\x41=1\r\n").Get("s", "\x83\x61"), std::nullopt);
  // LF and lone CR line ends, and a last line without one.
  EXPECT_EQ(ParseIni("[s]\nk=1\rj=2").Get("s", "j"), "2");
}

TEST(IniFile, SavingReplacesOrAddsKeysAndKeepsEveryOtherLine) {
  IniFile file = ParseIni(kJapaneseFile);
  file.Set("Section", kObjKindKey, " 0");
  file.Set("Section", kFillScreenKey, " 1");
  file.Set("New", "k", "v");
  EXPECT_EQ(file.Bytes(),
            "[Section]\r\nOBJ\x8B\xE6\x95\xAA= 0\r\nOBJ\xCC\xA7\xB2\xD9=C:\\\x95\x5C\\a.jpg\r\n"
            "BGM\xD8\xCB\xDF\xB0\xC4= 12\r\nother=\"  quoted \"\r\n\x91\x53\x89\xE6\x96\xCA= 1\r\n\r\n"
            "[Other]\r\nOBJ\x8B\xE6\x95\xAA= 5\r\n[New]\r\nk=v\r\n");
  IniFile fresh = ParseIni("");
  fresh.Set("Section", kObjKindKey, " 1");
  fresh.Set("Section", kObjFileKey, "");
  EXPECT_EQ(fresh.Bytes(), "[Section]\r\nOBJ\x8B\xE6\x95\xAA= 1\r\nOBJ\xCC\xA7\xB2\xD9=\r\n");
  EXPECT_EQ(ParseIni("[s]\nk=1").Bytes(), "[s]\r\nk=1\r\n");  // line ends become CR LF
}

// kJapaneseFile as UTF-8.
const std::string kJapaneseFileUtf8 =
    "[Section]\r\nOBJ\xE5\x8C\xBA\xE5\x88\x86= 1\r\nOBJ\xEF\xBE\x8C\xEF\xBD\xA7\xEF\xBD\xB2\xEF\xBE\x99="
    "C:\\\xE8\xA1\xA8\\a.jpg\r\nBGM\xEF\xBE\x98\xEF\xBE\x8B\xEF\xBE\x9F\xEF\xBD\xB0\xEF\xBE\x84= 12\r\n"
    "other=\"  quoted \"\r\n\r\n[Other]\r\nOBJ\xE5\x8C\xBA\xE5\x88\x86= 5\r\n";

// UTF-8 text in "UTF-16LE" or "UTF-16BE", without a byte-order mark.
std::string Utf16ByIconv(std::string_view utf8, const char* encoding) {
  iconv_t cd = iconv_open(encoding, "UTF-8");
  std::string out(utf8.size() * 4, '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size(), outLeft = out.size();
  char* o = &out[0];
  EXPECT_NE(iconv(cd, &in, &inLeft, &o, &outLeft), std::size_t(-1));
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

// Notepad's "Unicode" and "Unicode big endian": read as the 932 file, saved
// in 932 with every other section kept.  Without the mark, with a surrogate
// that has no pair or with a NUL character, the file is unreadable: no keys,
// and the caller must keep it aside before saving over it.
TEST(IniFile, AFileSavedAsUtf16WithItsMarkReadsAsItsCodePage932Twin) {
  const std::string le = Utf16ByIconv(kJapaneseFileUtf8, "UTF-16LE"), be = Utf16ByIconv(kJapaneseFileUtf8, "UTF-16BE");
  for (const std::string& bytes : {"\xFF\xFE" + le, "\xFE\xFF" + be}) {
    IniFile file = ParseIni(bytes);
    EXPECT_FALSE(file.unreadable());
    EXPECT_EQ(file.Bytes(), kJapaneseFile);
    EXPECT_EQ(file.Get("Section", kObjFileKey), "C:\\\x95\x5C\\a.jpg");
    file.Set("Section", kFillScreenKey, " 1");
    EXPECT_EQ(ParseIni(file.Bytes()).Get("Other", kObjKindKey), "5");
  }
  EXPECT_EQ(Utf16ToUtf8(std::string_view("\x3D\xD8\x00\xDE", 4), false), "\xF0\x9F\x98\x80");  // a surrogate pair
  for (const std::string& bytes :
       {le, be, "\xFF\xFE" + le + "x", "\xFF\xFE" + le + "\x3D\xD8", std::string("\xFF\xFE\x00\xDE", 4) + le,
        "\xFE\xFF" + be + std::string("\0\0", 2), "[Section]\r\nk=1\r\n" + std::string(1, '\0')}) {
    const IniFile file = ParseIni(bytes);
    EXPECT_TRUE(file.unreadable()) << bytes.size();
    EXPECT_EQ(file.Get("Section", kObjKindKey), std::nullopt);
  }
  EXPECT_FALSE(ParseIni("").unreadable());
}

TEST(IniFile, AFileResavedAsUtf8ReadsAsItsCodePage932TwinAndIsSavedIn932) {
  const std::string& utf8 = kJapaneseFileUtf8;
  for (const std::string& bytes : {utf8, "\xEF\xBB\xBF" + utf8}) {
    EXPECT_EQ(ParseIni(bytes).Bytes(), kJapaneseFile) << bytes.size();
    for (std::string_view key : {kObjKindKey, kObjFileKey, kBgmRepeatKey})
      EXPECT_EQ(ParseIni(bytes).Get("Section", key), ParseIni(kJapaneseFile).Get("Section", key));
  }
  // Plain ASCII is valid UTF-8 as well, and stays as it is; so does a 932
  // file that is no UTF-8, and UTF-8 without the program's keys.
  EXPECT_EQ(ParseIni("[s]\r\nk=1\r\n").Bytes(), "[s]\r\nk=1\r\n");
  EXPECT_EQ(ParseIni(kJapaneseFile).Bytes(), kJapaneseFile);
  EXPECT_EQ(ParseIni("[s]\r\nk=\xC3\xA9\r\n").Bytes(), "[s]\r\nk=\xC3\xA9\r\n");
  EXPECT_TRUE(IsValidUtf8("a\xE5\x85\xA8\xF0\x9F\x98\x80"));
  for (const char* bad : {"\xC0\x80", "\xE5\x85", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80", "\xFF"})
    EXPECT_FALSE(IsValidUtf8(bad)) << bad;
}

}  // namespace
}  // namespace gelmo
