// ゲルモ.scr /c as the screensaver host starts it: the dialog shows the
// settings file, confirming rewrites all twelve keys, and cancelling, the close
// box or a settings file that cannot be written end it without harm.
#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "scr/dialog/dialog_win.h"
#include "tests/win/child_process.h"

namespace gelmo {
namespace {

using testing::ChildProcess;
using testing::PumpUntil;
using testing::ScratchFolder;

std::string ReadAll(const std::string& path) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return "(missing)";
  std::string bytes(GetFileSize(f, nullptr), '\0');
  DWORD got = 0;
  if (!bytes.empty()) ReadFile(f, &bytes[0], DWORD(bytes.size()), &got, nullptr);
  CloseHandle(f);
  bytes.resize(got);
  return bytes;
}

void WriteAll(const std::string& path, const std::string& bytes) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(f, bytes.data(), DWORD(bytes.size()), &written, nullptr);
  CloseHandle(f);
}

// A number as the program writes it: a blank before a value of zero or more.
std::string Number(const std::string& digits) { return digits[0] == '-' ? digits : " " + digits; }

std::string Settings(const std::string& objKind, const std::string& objFile, const std::string& backKind,
                     const std::string& backFile, const std::string& colour, const std::string& bgmKind,
                     const std::string& repeat, const std::string& bgmFile, const std::string& fill = "") {
  return "[Section]\r\nOBJ区分=" + objKind + "\r\nOBJﾌｧｲﾙ=" + objFile + "\r\nBACK区分=" + backKind +
         "\r\nBACKﾌｧｲﾙ=" + backFile + "\r\nBACKｶﾗｰ=" + colour + "\r\nBGM区分=" + bgmKind +
         "\r\nBGMﾘﾋﾟｰﾄ=" + repeat + "\r\nBGMﾌｧｲﾙ=" + bgmFile + "\r\n" +
         (fill.empty() ? "" : "全画面=" + fill + "\r\n");
}

// The keys that came with the folders, as a confirm writes them when no folder was chosen.
const std::string kNoFolders = "ｽﾗｲﾄﾞﾌｫﾙﾀﾞ=\r\nｽﾗｲﾄﾞ間隔= 60\r\nBGMﾌｫﾙﾀﾞ=\r\n";

// The program in a folder of its own, beside a renderer file, opened with /c.
class SettingsRun : public ::testing::Test {
 protected:
  void Start(const char* folderName) {
    folder = std::make_unique<ScratchFolder>(folderName);
    scr = *folder / "ゲルモ.scr";
    ini = *folder / "ゲルモ.ini";
    CopyFileA(GELMO_SCR_EXE, scr.c_str(), FALSE);
    CopyFileA(GELMO_SCR_EXE, (*folder / "ゲルモ.dll").c_str(), FALSE);
  }
  HWND Open() {
    process = std::make_unique<ChildProcess>(scr, "/c:1234");
    HWND dialog = process->FindWindowOfClass("GelmoForm", 20000);
    if (dialog) PumpUntil(5000, [dialog] { return IsWindowVisible(dialog) != 0; });
    return dialog;
  }
  HWND Control(HWND dialog, int id) {
    HWND c = GetDlgItem(dialog, id);
    return c ? c : GetDlgItem(GetDlgItem(dialog, kIdPic), id);
  }
  std::string Text(HWND window) {
    char text[512] = {};
    SendMessageA(window, WM_GETTEXT, sizeof text, LPARAM(text));
    return text;
  }
  // The pointer comes over the control and the left button goes down and up.
  void Click(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  }

  std::unique_ptr<ScratchFolder> folder;
  std::string scr, ini;
  std::unique_ptr<ChildProcess> process;
};

// An eight-key file from before the fill-screen setting gains the later keys.
TEST_F(SettingsRun, ShowsTheFileAndConfirmingRewritesEveryKeyInOrder) {
  Start("gelmo-dialog-confirm");
  const std::string picture = *folder / "a.jpg";
  CopyFileA(GELMO_TEST_JPEG, picture.c_str(), FALSE);
  WriteAll(ini, Settings(" 0", picture, " 1", "", " 16777215", " 1", " 12", "C:\\gone.mp3"));
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(Text(dialog), "<ゲルモ>");
  HWND repeat = Control(dialog, kIdBgmRepeat);
  EXPECT_EQ(Text(repeat), "12");
  EXPECT_TRUE(IsWindowEnabled(repeat)) << "audio CD";
  EXPECT_EQ(SendMessageA(repeat, CB_GETCOUNT, 0, 0), 31);
  EXPECT_EQ(Text(Control(dialog, kIdLblFname + 0)), picture);
  EXPECT_EQ(Text(Control(dialog, kIdLblFname + 2)), "") << "a missing music file is not kept";

  // The user picks "画像ファイルを指定" for the object, types 7 as the track
  // and ticks "画面全体に表示".
  Click(Control(dialog, kIdLblObj + 1));
  SetWindowTextA(repeat, "7");
  Click(Control(dialog, kIdLblFill));
  Click(Control(dialog, kIdCmdSet));
  EXPECT_EQ(process->WaitExit(20000), 0);
  EXPECT_EQ(ReadAll(ini), Settings(Number("1"), picture, Number("1"), "", Number("16777215"), Number("1"),
                                   Number("7"), "", Number("1")) +
                              kNoFolders);
}

// A folder's pictures and a folder's songs: the options marked from the keys,
// the folders and the time shown, and a confirm saving the keys after 全画面.
TEST_F(SettingsRun, FoldersOfPicturesAndSongsAreShownAndSavedBack) {
  Start("gelmo-dialog-slides");
  const std::string slides = "ｽﾗｲﾄﾞﾌｫﾙﾀﾞ=" + folder->path() + "\r\nｽﾗｲﾄﾞ間隔= 45\r\n";
  const std::string songs = "BGMﾌｫﾙﾀﾞ=C:\\songs\r\n";
  WriteAll(ini, Settings(" 2", "", " 0", "", " 0", " 3", " 0", "", " 0") + slides + songs);
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(Text(Control(dialog, kIdLblFolder)), folder->path());
  HWND time = Control(dialog, kIdSlideTime);
  EXPECT_EQ(Text(time), "45秒");
  EXPECT_TRUE(IsWindowEnabled(time));
  EXPECT_EQ(Text(Control(dialog, kIdLblBgmFolder)), "C:\\songs");
  EXPECT_EQ(SendMessageA(Control(dialog, kIdLblBgm + 3), BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageA(time, CB_SETCURSEL, 4, 0);  // 10秒 30秒 45秒 1分 3分
  Click(Control(dialog, kIdCmdSet));
  EXPECT_EQ(process->WaitExit(20000), 0);
  EXPECT_EQ(ReadAll(ini), Settings(Number("2"), "", Number("0"), "", Number("0"), Number("3"), Number("0"), "",
                                   Number("0")) +
                              "ｽﾗｲﾄﾞﾌｫﾙﾀﾞ=" + folder->path() + "\r\nｽﾗｲﾄﾞ間隔= 180\r\n" + songs);
}

TEST_F(SettingsRun, FirstSaveCreatesTheFileAndOutOfRangeTracksAreSavedAsNone) {
  Start("gelmo-dialog-first");
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  HWND repeat = Control(dialog, kIdBgmRepeat);
  EXPECT_FALSE(IsWindowEnabled(repeat));
  // A number the track cannot hold, typed into the (disabled) box, is saved as none.
  SetWindowTextA(repeat, "40000");
  Click(Control(dialog, kIdCmdSet));
  EXPECT_EQ(process->WaitExit(20000), 0);
  EXPECT_EQ(ReadAll(ini),
            Settings(Number("0"), "", Number("0"), "", Number("0"), Number("0"), Number("0"), "", Number("0")) +
                kNoFolders);
}

TEST_F(SettingsRun, CancelAndTheCloseBoxWriteNothing) {
  Start("gelmo-dialog-cancel");
  const std::string before = "[Section]\r\nOBJ区分= 1\r\nBACKｶﾗｰ= 255\r\n";
  WriteAll(ini, before);
  for (bool closeBox : {false, true}) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    Click(Control(dialog, kIdLblBgm + 1));  // a change in memory only
    if (closeBox)
      PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    else
      Click(Control(dialog, kIdCmdCan));
    EXPECT_EQ(process->WaitExit(20000), 0) << closeBox;
    EXPECT_EQ(ReadAll(ini), before) << closeBox;
  }
}

// Keys as the keyboard gives them, through the system's input to the window
// in front; then a moment for the dialog to take them.
void Keys(std::initializer_list<WORD> keys, bool shift = false) {
  std::vector<INPUT> input;
  auto add = [&](WORD key, bool up) {
    INPUT i = {};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = key;
    i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    input.push_back(i);
  };
  for (WORD key : keys) {
    if (shift) add(VK_SHIFT, false);
    add(key, false);
    add(key, true);
    if (shift) add(VK_SHIFT, true);
  }
  SendInput(UINT(input.size()), input.data(), sizeof(INPUT));
  PumpUntil(300, [] { return false; });
}

// The identifier of the dialog's control that has the keyboard's focus.
int Focused(HWND dialog) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
  return info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : -1;
}

// The dialog by keyboard alone: Tab and Shift+Tab, Space on the check box,
// the arrows in a group of options, Enter anywhere for 設定, Enter and Space
// on a focused push button, Escape for ｷｬﾝｾﾙ.
TEST_F(SettingsRun, TheKeyboardAloneReachesAndWorksEveryControl) {
  Start("gelmo-dialog-keys");
  const std::string given = Settings(" 0", "", " 1", "", " 0", " 0", " 0", "", " 0");
  WriteAll(ini, given);
  auto openInFront = [&] {
    HWND dialog = Open();
    if (!dialog) return dialog;
    SetForegroundWindow(dialog);
    PumpUntil(5000, [&] { return GetForegroundWindow() == dialog && Focused(dialog) == kIdLblFill; });
    return dialog;
  };
  HWND dialog = openInFront();
  ASSERT_NE(dialog, nullptr);
  ASSERT_EQ(Focused(dialog), kIdLblFill) << "the first control has the focus";
  // Disabled buttons are passed over; each group of options is one stop.
  std::vector<int> forward;
  for (int i = 0; i < 5; ++i) Keys({VK_TAB}), forward.push_back(Focused(dialog));
  EXPECT_EQ(forward, (std::vector<int>{kIdLblObj, kIdLblBack + 1, kIdLblBgm, kIdCmdSet, kIdCmdCan}));
  std::vector<int> back;
  for (int i = 0; i < 5; ++i) Keys({VK_TAB}, true), back.push_back(Focused(dialog));
  EXPECT_EQ(back, (std::vector<int>{kIdCmdSet, kIdLblBgm, kIdLblBack + 1, kIdLblObj, kIdLblFill}));

  HWND fill = Control(dialog, kIdLblFill);
  Keys({VK_SPACE});
  EXPECT_EQ(SendMessageA(fill, BM_GETCHECK, 0, 0), BST_CHECKED);
  Keys({VK_TAB, VK_DOWN});
  EXPECT_EQ(Focused(dialog), kIdLblObj + 1);
  EXPECT_EQ(SendMessageA(Control(dialog, kIdLblObj + 1), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(IsWindowEnabled(Control(dialog, kIdCmdF))) << "its file button with it";
  Keys({VK_RETURN});
  EXPECT_EQ(process->WaitExit(20000), 0);
  const std::string saved = Settings(Number("1"), "", Number("1"), "", Number("0"), Number("0"), Number("0"), "",
                                     Number("1")) +
                            kNoFolders;
  EXPECT_EQ(ReadAll(ini), saved);

  // Changed, then closed without saving: Enter on a focused ｷｬﾝｾﾙ, and Escape.
  for (bool escape : {false, true}) {
    dialog = openInFront();
    ASSERT_NE(dialog, nullptr);
    Keys({VK_SPACE});
    if (!escape) {
      Keys({VK_TAB, VK_TAB}, true);
      EXPECT_EQ(Focused(dialog), kIdCmdCan);
    }
    Keys({escape ? WORD(VK_ESCAPE) : WORD(VK_RETURN)});
    EXPECT_EQ(process->WaitExit(20000), 0) << escape;
    EXPECT_EQ(ReadAll(ini), saved) << escape;
  }
  // Space on a focused 設定 saves.
  dialog = openInFront();
  ASSERT_NE(dialog, nullptr);
  Keys({VK_SPACE});
  Keys({VK_TAB, VK_TAB, VK_TAB}, true);
  EXPECT_EQ(Focused(dialog), kIdCmdSet);
  Keys({VK_SPACE});
  EXPECT_EQ(process->WaitExit(20000), 0);
  EXPECT_EQ(ReadAll(ini), Settings(Number("1"), "", Number("1"), "", Number("0"), Number("0"), Number("0"), "",
                                   Number("0")) +
                              kNoFolders);
}

TEST_F(SettingsRun, SettingsThatCannotBeWrittenStillCloseTheDialog) {
  Start("gelmo-dialog-readonly");
  // A folder where the settings file should be: no write can succeed.
  CreateDirectoryA(ini.c_str(), nullptr);
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  Click(Control(dialog, kIdCmdSet));
  EXPECT_EQ(process->WaitExit(20000), 0);
  EXPECT_EQ(GetFileAttributesA(ini.c_str()) & FILE_ATTRIBUTE_DIRECTORY, DWORD(FILE_ATTRIBUTE_DIRECTORY));
  RemoveDirectoryA(ini.c_str());

  // A read-only folder and settings file.
  WriteAll(ini, "[Section]\r\nOBJ区分= 0\r\n");
  SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_READONLY);
  SetFileAttributesA(folder->path().c_str(), FILE_ATTRIBUTE_READONLY);
  dialog = Open();
  ASSERT_NE(dialog, nullptr);
  Click(Control(dialog, kIdCmdSet));
  EXPECT_EQ(process->WaitExit(20000), 0);
  SetFileAttributesA(folder->path().c_str(), FILE_ATTRIBUTE_NORMAL);
  SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace gelmo
