// The settings dialog in this process: what loading shows for each kind of
// settings, the option clicks, the real file-open and colour dialogs driven
// from a second thread, the thumbnails, the gradient and the home-page link.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <thread>

#include "scr/dialog/dialog_win.h"
#include "scr/forms/text_win.h"
#include "scr/settings/settings_win.h"
#include "tests/win/child_process.h"

namespace gelmo {
namespace {

using testing::PumpUntil;
using testing::ScratchFolder;

// The records the dialog hands over, taken on their way to the real dialogs.
struct RecordingChoosers : Choosers {
  struct FileCall {
    DWORD size = 0, flags = 0, maxFile = 0, maxTitle = 0;
    HWND owner = nullptr;
    HINSTANCE instance = nullptr;
    std::string filter, initialDir, title;
    bool emptyBuffers = false;
  };
  std::vector<FileCall> files;
  CHOOSECOLORW colour = {};
  COLORREF custom[16] = {};
  int colourCalls = 0;
  DWORD lastError = 0;  // of the latest call that returned 0

  BOOL OpenFile(OPENFILENAMEW* r) override {
    FileCall c;
    c.size = r->lStructSize;
    c.flags = r->Flags;
    c.owner = r->hwndOwner;
    c.instance = r->hInstance;
    c.maxFile = r->nMaxFile;
    c.maxTitle = r->nMaxFileTitle;
    for (const wchar_t* p = r->lpstrFilter; *p; p += wcslen(p) + 1) c.filter += forms::Narrow(p) + "|";
    c.initialDir = r->lpstrInitialDir ? forms::Narrow(r->lpstrInitialDir) : "(null)";
    c.title = r->lpstrTitle ? forms::Narrow(r->lpstrTitle) : "";
    c.emptyBuffers = true;
    for (DWORD i = 0; i < 255; ++i) c.emptyBuffers &= r->lpstrFile[i] == 0 && r->lpstrFileTitle[i] == 0;
    files.push_back(c);
    const BOOL ok = Choosers::OpenFile(r);
    lastError = ok ? 0 : CommDlgExtendedError();
    return ok;
  }
  // The folder chooser answers with `folderAnswer` (cancelled when empty).
  std::wstring folderAnswer, folderStart;
  bool PickFolder(HWND, const std::wstring& start, std::wstring* chosen) override {
    folderStart = start;
    *chosen = folderAnswer;
    return !folderAnswer.empty();
  }
  BOOL ChooseColour(CHOOSECOLORW* r) override {
    ++colourCalls;
    colour = *r;
    std::copy(r->lpCustColors, r->lpCustColors + 16, custom);
    const BOOL ok = Choosers::ChooseColour(r);
    lastError = ok ? 0 : CommDlgExtendedError();
    return ok;
  }
};

// Answers the next common dialog of this process from a second thread: `act`
// gets the dialog's window and does what a user would.
class DialogDriver {
 public:
  explicit DialogDriver(std::function<void(HWND)> act) : thread_([this, act] {
      HWND dialog = nullptr;
      for (int i = 0; i < 1500 && !dialog; ++i, Sleep(10))
        dialog = testing::TopWindowOf(GetCurrentProcessId(), "#32770", true);
      if (dialog) {
        char text[128] = {};
        GetWindowTextA(dialog, text, sizeof text);
        caption_ = text;
        act(dialog);
      }
      found_ = dialog != nullptr;
    }) {}
  ~DialogDriver() {
    if (thread_.joinable()) thread_.join();
  }
  bool Done() {
    if (thread_.joinable()) thread_.join();
    return found_;
  }
  const std::string& caption() const { return caption_; }

 private:
  std::string caption_;
  std::atomic<bool> found_{false};
  std::thread thread_;
};

void PressOk(HWND dialog) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(GetDlgItem(dialog, IDOK)));
}
void PressCancel(HWND dialog) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), LPARAM(GetDlgItem(dialog, IDCANCEL)));
}
// Types a name into the file dialog's name field (explorer or old style) and confirms.
void TypeFileName(HWND dialog, const std::string& name) {
  HWND field = GetDlgItem(dialog, 0x47c);
  if (!field) field = GetDlgItem(dialog, 0x480);
  SetWindowTextA(field, name.c_str());
  Sleep(100);
  PressOk(dialog);
}

// The pointer comes over the control, then the left button goes down and up.
void Click(HWND window) {
  SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
}

// A 24-bit BMP of one colour, for thumbnails.
void WriteBmp(const std::string& path, COLORREF colour, int w = 8, int h = 8) {
  const int row = (w * 3 + 3) / 4 * 4;
  std::string file(54 + row * h, '\0');
  auto put32 = [&](int at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = char(v >> (8 * i));
  };
  file[0] = 'B', file[1] = 'M';
  put32(2, std::uint32_t(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, w);
  put32(22, h);
  file[26] = 1, file[28] = 24;
  for (int i = 0; i < w * h; ++i) {
    file[54 + (i / w) * row + (i % w) * 3] = char(GetBValue(colour));
    file[54 + (i / w) * row + (i % w) * 3 + 1] = char(GetGValue(colour));
    file[54 + (i / w) * row + (i % w) * 3 + 2] = char(GetRValue(colour));
  }
  HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(out, file.data(), DWORD(file.size()), &written, nullptr);
  CloseHandle(out);
}

// A tenth of a second of silence as a WAV file: 8 kHz, 16-bit mono PCM.
void WriteSilentWav(const std::string& path) {
  const std::uint32_t samples = 800, data = samples * 2;
  std::string file(44 + data, '\0');
  auto put = [&](int at, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) file[at + i] = char(v >> (8 * i));
  };
  file.replace(0, 4, "RIFF");
  put(4, 36 + data, 4);
  file.replace(8, 8, "WAVEfmt ");
  put(16, 16, 4);     // the format chunk's size
  put(20, 1, 2);      // PCM
  put(22, 1, 2);      // mono
  put(24, 8000, 4);   // samples a second
  put(28, 16000, 4);  // bytes a second
  put(32, 2, 2);      // bytes a sample
  put(34, 16, 2);     // bits a sample
  file.replace(36, 4, "data");
  put(40, data, 4);
  std::ofstream(path, std::ios::binary) << file;
}

class Dialog : public ::testing::Test {
 protected:
  void Open(const SaverSettings& settings) {
    g_saverSettings = settings;
    dialog = std::make_unique<SettingsDialog>(choosers);
    dialog->Show();
    PumpUntil(200, [] { return false; });
  }
  void TearDown() override {
    if (dialog && dialog->loaded()) dialog->Unload();
  }
  bool Marked(forms::Image& image) { return image.picture() == dialog->Img_Ra[1].picture(); }
  bool Unmarked(forms::Image& image) { return image.picture() == dialog->Img_Ra[0].picture(); }
  // Marks of a group, as a text: "x" marked, "o" unmarked, "?" neither.
  template <std::size_t N>
  std::string Marks(forms::Image (&images)[N]) {
    std::string marks;
    for (forms::Image& image : images) marks += Marked(image) ? "x" : Unmarked(image) ? "o" : "?";
    return marks;
  }
  // Enabled dependent controls as a text: object file, colour, background
  // file, repeat box, music file, folder and time box, music folder.
  std::string Enabled() {
    auto on = [](bool b) { return b ? '1' : '0'; };
    return {on(dialog->Cmd_F[0].Enabled()), on(dialog->Cmd_Color.Enabled()), on(dialog->Cmd_F[1].Enabled()),
            on(IsWindowEnabled(dialog->BGM_Repeat.hwnd())), on(dialog->Cmd_F[2].Enabled()),
            on(dialog->Cmd_Folder.Enabled() && IsWindowEnabled(dialog->Slide_Time.hwnd())),
            on(dialog->Cmd_BgmFolder.Enabled())};
  }

  RecordingChoosers choosers;
  std::unique_ptr<SettingsDialog> dialog;
};

SaverSettings Kinds(int obj, int back, int bgm) {
  SaverSettings s;
  s.ObjKind = std::int16_t(obj);
  s.BackKind = std::int16_t(back);
  s.BgmKind = std::int16_t(bgm);
  s.BackColour = 0x00336699;
  return s;
}

TEST_F(Dialog, WindowIsPlacedAndSizedAndEveryTextIsThere) {
  Open(Kinds(0, 0, 0));
  HWND w = dialog->hwnd();
  char caption[32] = {};
  GetWindowTextA(w, caption, sizeof caption);
  EXPECT_STREQ(caption, "<ゲルモ>");
  RECT client, outer;
  GetClientRect(w, &client);
  GetWindowRect(w, &outer);
  EXPECT_EQ(client.right, 504);
  EXPECT_EQ(client.bottom, 507);
  // Centred across, a third of the free height from the top (in twips, truncated).
  const int width = (outer.right - outer.left) * 15, height = (outer.bottom - outer.top) * 15;
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) * 15 - width) / 2 / 15);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) * 15 - height) / 3 / 15);
  EXPECT_FALSE(GetWindowLongA(w, GWL_STYLE) & WS_THICKFRAME) << "fixed size";
  EXPECT_NE(SendMessageA(w, WM_GETICON, ICON_BIG, 0), 0);

  EXPECT_EQ(dialog->Cmd_Set.Caption(), "設定");
  EXPECT_EQ(dialog->Cmd_Can.Caption(), "ｷｬﾝｾﾙ");
  EXPECT_EQ(dialog->Cmd_Color.Caption(), "色指定");
  EXPECT_EQ(dialog->lbl(0).caption(), "オブジェクト");
  EXPECT_EQ(dialog->lbl(1).caption(), "背景画像");
  EXPECT_EQ(dialog->lbl(2).caption(), "BGM");
  EXPECT_EQ(dialog->lbl(3).caption(), "曲目をリピート");
  EXPECT_EQ(dialog->lbl_Back[0].caption(), "指定なし\x81\x40=>");  // full-width space
  EXPECT_EQ(dialog->lbl_BGM[1].caption(), "音楽CD");
  EXPECT_EQ(dialog->lbl_BGM[2].caption(), "音楽ファイル");
  EXPECT_EQ(dialog->lbl_BGM[3].caption(), "フォルダの曲を順に再生");
  EXPECT_EQ(dialog->lbl_Fill.caption(), "画面全体に表示");
  // The check box stands free between the first heading and its thumbnail.
  auto rectOf = [](HWND c) { RECT r; GetWindowRect(c, &r); return r; };
  for (HWND other : {dialog->Shape3(0).hwnd(), dialog->Img[0].hwnd(), dialog->lbl_Obj[0].hwnd()}) {
    RECT overlap, a = rectOf(dialog->lbl_Fill.hwnd()), b = rectOf(other);
    EXPECT_FALSE(IntersectRect(&overlap, &a, &b));
  }
  // The music options stand in the order 1, 0, 2, 3 from the top, the folder
  // row under the file row, lined up with the object group's folder row; the
  // panel ends below it and above 設定.
  EXPECT_LT(dialog->Img_BGM[1].Top(), dialog->Img_BGM[0].Top());
  EXPECT_LT(dialog->Img_BGM[0].Top(), dialog->Img_BGM[2].Top());
  EXPECT_LT(dialog->Cmd_F[2].Top() + dialog->Cmd_F[2].Height(), dialog->Img_BGM[3].Top());
  EXPECT_LT(dialog->Img_BGM[3].Top() + dialog->Img_BGM[3].Height(), dialog->Cmd_BgmFolder.Top());
  EXPECT_EQ(dialog->Cmd_BgmFolder.Left(), dialog->Cmd_Folder.Left());
  EXPECT_EQ(dialog->lbl_BgmFolder.Left(), dialog->lbl_Folder.Left());
  EXPECT_EQ(dialog->lbl_BgmFolder.Top() - dialog->Cmd_BgmFolder.Top(), dialog->lbl_Folder.Top() - dialog->Cmd_Folder.Top());
  EXPECT_LE(dialog->Cmd_BgmFolder.Top() + dialog->Cmd_BgmFolder.Height(), dialog->Pic.Height());
  EXPECT_LT(dialog->Pic.Top() + dialog->Pic.Height(), dialog->Cmd_Set.Top());
  // The two option pictures are never seen.
  for (forms::Image& ra : dialog->Img_Ra) EXPECT_LT(ra.Left() + ra.Width(), 0);
  // Controls of the groups stand in the panel.
  EXPECT_EQ(GetParent(dialog->Cmd_F[0].hwnd()), dialog->Pic.hwnd());
  EXPECT_EQ(GetDlgItem(dialog->Pic.hwnd(), kIdLblObj + 1), dialog->lbl_Obj[1].hwnd());
}

TEST_F(Dialog, LoadingMarksTheKindsAndEnablesWhatTheyUse) {
  struct Case { int obj, back, bgm; const char *obj_marks, *back_marks, *bgm_marks, *enabled; };
  const Case cases[] = {
      {0, 0, 0, "xoo", "xoo", "xooo", "0100000"},
      {1, 1, 1, "oxo", "oxo", "oxoo", "1001000"},
      {1, 2, 2, "oxo", "oox", "ooxo", "1010100"},
      {2, 0, 0, "oox", "xoo", "xooo", "0100010"},
      {0, 1, 3, "xoo", "oxo", "ooox", "0000001"},
      // Hand-edited values outside the groups mark nothing; any object kind but 0 and 2 is a file.
      {5, -1, 7, "ooo", "ooo", "oooo", "1000000"},
  };
  for (const Case& c : cases) {
    SaverSettings s = Kinds(c.obj, c.back, c.bgm);
    s.FillScreen = c.bgm == 2;  // on in one case
    Open(s);
    EXPECT_EQ(Marked(dialog->Img_Fill), c.bgm == 2);
    EXPECT_EQ(Marks(dialog->Img_Obj), c.obj_marks) << c.obj;
    EXPECT_EQ(Marks(dialog->Img_Back), c.back_marks) << c.back;
    EXPECT_EQ(Marks(dialog->Img_BGM), c.bgm_marks) << c.bgm;
    EXPECT_EQ(Enabled(), c.enabled) << c.obj << c.back << c.bgm;
    // The file labels, swatch and options stay usable in every state.
    EXPECT_TRUE(IsWindowEnabled(dialog->lbl_Fname[1].hwnd()));
    EXPECT_TRUE(IsWindowEnabled(dialog->lbl_Color.hwnd()));
    dialog->Unload();
  }
}

TEST_F(Dialog, RepeatBoxShowsTheTrackAndListsEmptyThenOneToThirty) {
  for (int track : {0, 12, -3}) {
    SaverSettings s = Kinds(0, 0, 1);
    s.BgmRepeat = std::int16_t(track);
    Open(s);
    EXPECT_EQ(dialog->BGM_Repeat.Text(), track == 0 ? "" : std::to_string(track));
    HWND box = dialog->BGM_Repeat.hwnd();
    ASSERT_EQ(SendMessageA(box, CB_GETCOUNT, 0, 0), 31);
    char item[8];
    SendMessageA(box, CB_GETLBTEXT, 0, LPARAM(item));
    EXPECT_STREQ(item, "");
    SendMessageA(box, CB_GETLBTEXT, 1, LPARAM(item));
    EXPECT_STREQ(item, "1");
    SendMessageA(box, CB_GETLBTEXT, 30, LPARAM(item));
    EXPECT_STREQ(item, "30");
    dialog->Unload();
  }
}

TEST_F(Dialog, FilesShowTheirPathsAndPicturesAsThumbnails) {
  ScratchFolder folder("gelmo-dialog-files");
  WriteBmp(folder / "obj.bmp", RGB(255, 0, 0), 480, 360);
  SaverSettings s = Kinds(1, 2, 2);
  s.ObjFile() = folder / "obj.bmp";
  s.BackFile() = folder / "gone.bmp";  // a stored picture that cannot be read
  s.BgmFile = folder / "song.mp3";
  s.BgmFolder = folder / "songs";  // shown as stored, whichever kind is chosen
  Open(s);
  EXPECT_EQ(dialog->lbl_Fname[0].caption(), s.ObjFile());
  EXPECT_EQ(dialog->lbl_Fname[1].caption(), s.BackFile());
  EXPECT_EQ(dialog->lbl_Fname[2].caption(), s.BgmFile);
  EXPECT_EQ(dialog->lbl_BgmFolder.caption(), s.BgmFolder);
  // Decoded off the window thread, reduced for its box: never the whole picture.
  PumpUntil(3000, [&] { return dialog->Img[0].picture() != nullptr; });
  ASSERT_TRUE(dialog->Img[0].picture());
  EXPECT_EQ(dialog->Img[0].picture()->width(), 120);
  EXPECT_EQ(dialog->Img[0].picture()->height(), 90);
  EXPECT_FALSE(dialog->Img[1].picture()) << "the path is shown, the thumbnail stays empty";
  // The thumbnail is drawn stretched over its 60 x 60 pixels.
  HDC dc = GetDC(dialog->Img[0].hwnd());
  EXPECT_EQ(GetPixel(dc, 58, 58), RGB(255, 0, 0));
  ReleaseDC(dialog->Img[0].hwnd(), dc);
}

TEST_F(Dialog, OptionClicksSetTheKindsMarksAndButtons) {
  Open(Kinds(0, 1, 0));
  dialog->lbl_Color.SetBackColour(RGB(1, 2, 3));  // as if a colour had been picked

  Click(dialog->lbl_Obj[1].hwnd());
  EXPECT_EQ(g_saverSettings.ObjKind, 1);
  EXPECT_EQ(Marks(dialog->Img_Obj), "oxo");
  Click(dialog->lbl_Obj[2].hwnd());
  EXPECT_EQ(g_saverSettings.ObjKind, 2);
  EXPECT_EQ(Marks(dialog->Img_Obj), "oox");
  EXPECT_EQ(Enabled(), "0000010");
  Click(dialog->Img_Obj[0].hwnd());
  EXPECT_EQ(g_saverSettings.ObjKind, 0);
  EXPECT_EQ(Marks(dialog->Img_Obj), "xoo");

  // The marked background option again: the swatch goes back to the stored colour.
  Click(dialog->Img_Back[1].hwnd());
  EXPECT_EQ(dialog->lbl_Color.backColour(), COLORREF(0x00336699));
  EXPECT_EQ(Enabled(), "0000000");
  Click(dialog->lbl_Back[0].hwnd());
  EXPECT_EQ(g_saverSettings.BackKind, 0);
  EXPECT_EQ(Marks(dialog->Img_Back), "xoo");
  EXPECT_EQ(Enabled(), "0100000");
  Click(dialog->Img_Back[2].hwnd());
  EXPECT_EQ(Enabled(), "0010000");

  Click(dialog->lbl_BGM[1].hwnd());
  EXPECT_EQ(g_saverSettings.BgmKind, 1);
  EXPECT_EQ(Marks(dialog->Img_BGM), "oxoo");
  EXPECT_EQ(Enabled(), "0011000");
  Click(dialog->Img_BGM[2].hwnd());
  EXPECT_EQ(Enabled(), "0010100");
  Click(dialog->lbl_BGM[3].hwnd());
  EXPECT_EQ(g_saverSettings.BgmKind, 3);
  EXPECT_EQ(Marks(dialog->Img_BGM), "ooox");
  EXPECT_EQ(Enabled(), "0010001");
  Click(dialog->lbl_BGM[0].hwnd());
  EXPECT_EQ(Enabled(), "0010000");

  // The check box, by its picture and by its text.
  EXPECT_TRUE(Unmarked(dialog->Img_Fill));
  Click(dialog->Img_Fill.hwnd());
  EXPECT_EQ(g_saverSettings.FillScreen, 1);
  EXPECT_TRUE(Marked(dialog->Img_Fill));
  Click(dialog->lbl_Fill.hwnd());
  EXPECT_EQ(g_saverSettings.FillScreen, 0);
  EXPECT_TRUE(Unmarked(dialog->Img_Fill));
}

// What a screen reader is told of a control, through the platform's accessibility.
struct Told {
  std::string name;
  LONG role = 0, state = 0;
};
Told Accessible(HWND window) {
  Told told;
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&object))) ||
      !object)
    return told;
  VARIANT self;
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  if (SUCCEEDED(object->get_accName(self, &name)) && name) told.name = forms::Narrow(name);
  SysFreeString(name);
  VARIANT value;
  VariantInit(&value);
  if (SUCCEEDED(object->get_accRole(self, &value)) && value.vt == VT_I4) told.role = value.lVal;
  VariantInit(&value);
  if (SUCCEEDED(object->get_accState(self, &value)) && value.vt == VT_I4) told.state = value.lVal;
  object->Release();
  return told;
}

// Names, roles and states, and the keyboard's walk: Tab in reading order
// through what is enabled, one stop per group of options, on the chosen one.
TEST_F(Dialog, EveryControlTellsItsNameRoleAndStateAndTabWalksThemInReadingOrder) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  SaverSettings s = Kinds(1, 1, 3);
  s.FillScreen = 1;
  s.ObjFile() = "C:\\pics\\a.jpg";
  Open(s);
  constexpr LONG kChecked = STATE_SYSTEM_CHECKED, kOff = STATE_SYSTEM_UNAVAILABLE;
  struct Case { forms::Control* control; const char* name; LONG role, state; };
  const Case cases[] = {
      {&dialog->Cmd_Set, "設定", ROLE_SYSTEM_PUSHBUTTON, STATE_SYSTEM_DEFAULT},
      {&dialog->Cmd_Can, "ｷｬﾝｾﾙ", ROLE_SYSTEM_PUSHBUTTON, 0},
      {&dialog->Cmd_F[0], "参照…", ROLE_SYSTEM_PUSHBUTTON, 0},
      {&dialog->Cmd_F[1], "参照…", ROLE_SYSTEM_PUSHBUTTON, kOff},
      {&dialog->Cmd_Folder, "参照…", ROLE_SYSTEM_PUSHBUTTON, kOff},
      {&dialog->Cmd_Color, "色指定", ROLE_SYSTEM_PUSHBUTTON, kOff},
      // The first control has the focus as the dialog opens.
      {&dialog->lbl_Fill, "画面全体に表示", ROLE_SYSTEM_CHECKBUTTON, kChecked | STATE_SYSTEM_FOCUSED},
      {&dialog->lbl_Obj[0], "デスクトップのキャプチャ画像", ROLE_SYSTEM_RADIOBUTTON, 0},
      {&dialog->lbl_Obj[1], "画像ファイルを指定", ROLE_SYSTEM_RADIOBUTTON, kChecked},
      {&dialog->lbl_Back[1], "デスクトップのキャプチャ画像", ROLE_SYSTEM_RADIOBUTTON, kChecked},
      {&dialog->lbl_BGM[2], "音楽ファイル", ROLE_SYSTEM_RADIOBUTTON, 0},
      {&dialog->lbl_BGM[3], "フォルダの曲を順に再生", ROLE_SYSTEM_RADIOBUTTON, kChecked},
      {&dialog->Cmd_F[2], "参照…", ROLE_SYSTEM_PUSHBUTTON, kOff},
      {&dialog->Cmd_BgmFolder, "参照…", ROLE_SYSTEM_PUSHBUTTON, 0},
      {&dialog->lbl_URL, dialog->lbl_URL.caption().c_str(), ROLE_SYSTEM_LINK, 0},
      // A path says which row it belongs to; the path is its value.
      {&dialog->lbl_Fname[0], "オブジェクトの画像ファイル", ROLE_SYSTEM_STATICTEXT, 0},
      {&dialog->lbl_Fname[2], "音楽ファイル", ROLE_SYSTEM_STATICTEXT, 0},
      {&dialog->lbl_BgmFolder, "音楽フォルダ", ROLE_SYSTEM_STATICTEXT, 0},
  };
  constexpr LONG kLooked = kChecked | kOff | STATE_SYSTEM_DEFAULT | STATE_SYSTEM_FOCUSED;
  for (const Case& c : cases) {
    const Told told = Accessible(c.control->hwnd());
    EXPECT_EQ(told.name, c.name);
    EXPECT_EQ(told.role, c.role) << c.name;
    EXPECT_EQ(told.state & kLooked, c.state) << c.name;
  }

  std::vector<int> walk;
  HWND w = dialog->hwnd();
  for (HWND at = GetNextDlgTabItem(w, nullptr, FALSE); at && walk.size() < 30; at = GetNextDlgTabItem(w, at, FALSE)) {
    if (!walk.empty() && GetDlgCtrlID(at) == walk.front()) break;
    walk.push_back(GetDlgCtrlID(at));
  }
  EXPECT_EQ(walk, (std::vector<int>{kIdLblFill, kIdLblObj + 1, kIdCmdF, kIdLblBack + 1, kIdLblBgm + 3,
                                    kIdCmdBgmFolder, kIdCmdSet, kIdCmdCan, kIdLblUrl}));
  // The arrows go round the four music options in their order on the screen.
  std::vector<int> round;
  for (HWND at = dialog->lbl_BGM[1].hwnd(); round.size() < 5; at = GetNextDlgGroupItem(w, at, FALSE))
    round.push_back(GetDlgCtrlID(at));
  EXPECT_EQ(round, (std::vector<int>{kIdLblBgm + 1, kIdLblBgm, kIdLblBgm + 2, kIdLblBgm + 3, kIdLblBgm + 1}));

  // Clicked, the option is chosen and focused, the one before is not, and the
  // group's Tab stop moves with the choice; the check box turns off.
  Click(dialog->lbl_Obj[2].hwnd());
  EXPECT_EQ(Accessible(dialog->lbl_Obj[1].hwnd()).state & kLooked, 0);
  EXPECT_EQ(Accessible(dialog->lbl_Obj[2].hwnd()).state & kLooked, kChecked | STATE_SYSTEM_FOCUSED);
  EXPECT_EQ(GetNextDlgTabItem(w, dialog->lbl_Fill.hwnd(), FALSE), dialog->lbl_Obj[2].hwnd());
  Click(dialog->lbl_Fill.hwnd());
  EXPECT_EQ(Accessible(dialog->lbl_Fill.hwnd()).state & kChecked, 0);
  // With the focus on another push button, that one is the default.
  SetFocus(dialog->Cmd_Can.hwnd());
  EXPECT_EQ(Accessible(dialog->Cmd_Can.hwnd()).state & kLooked, STATE_SYSTEM_DEFAULT | STATE_SYSTEM_FOCUSED);
  EXPECT_EQ(Accessible(dialog->Cmd_Set.hwnd()).state & kLooked, 0);
}

TEST_F(Dialog, ChoosingAFileTakesPathFolderAndThumbnailAndCancelKeepsThem) {
  ScratchFolder folder("gelmo-dialog-pics");
  WriteBmp(folder / "a.bmp", RGB(0, 0, 255));
  SaverSettings s = Kinds(1, 2, 2);
  s.BackFolder() = "C:\\";
  s.BgmFileFolder = folder.path();
  Open(s);

  {
    DialogDriver driver([&](HWND d) { TypeFileName(d, folder / "a.bmp"); });
    Click(dialog->Cmd_F[1].hwnd());
    ASSERT_TRUE(driver.Done()) << std::hex << choosers.lastError;
    EXPECT_EQ(driver.caption(), "ﾌｧｲﾙを開く");
  }
  EXPECT_EQ(g_saverSettings.BackFile(), folder / "a.bmp");
  EXPECT_EQ(g_saverSettings.BackFolder(), folder.path());
  EXPECT_EQ(dialog->lbl_Fname[1].caption(), folder / "a.bmp");
  ASSERT_TRUE(dialog->Img[1].picture());
  const auto thumbnail = dialog->Img[1].picture();

  ASSERT_EQ(choosers.files.size(), 1u);
  const RecordingChoosers::FileCall& first = choosers.files[0];
  EXPECT_EQ(first.size, DWORD(OPENFILENAME_SIZE_VERSION_400W));
#ifndef _WIN64
  EXPECT_EQ(first.size, 76u);
#endif
  EXPECT_EQ(first.owner, dialog->hwnd());
  EXPECT_EQ(first.instance, GetModuleHandleA(nullptr));
  // The installed decoders' extensions, then every file.
  EXPECT_EQ(first.filter.rfind("画像ﾌｧｲﾙ|*.", 0), 0u) << first.filter;
  const std::size_t bar = first.filter.find('|') + 1;
  const std::string patterns = ";" + first.filter.substr(bar, first.filter.find('|', bar) - bar) + ";";
  for (const char* pattern : {";*.bmp;", ";*.jpg;", ";*.jpeg;", ";*.png;", ";*.gif;", ";*.tif;"})
    EXPECT_NE(patterns.find(pattern), std::string::npos) << pattern << " in " << patterns;
  const std::string every = "|すべてのﾌｧｲﾙ (*.*)|*.*|";
  EXPECT_EQ(first.filter.substr(first.filter.size() - every.size()), every);
  EXPECT_EQ(first.initialDir, "C:\\");
  EXPECT_EQ(first.title, "ﾌｧｲﾙを開く");
  EXPECT_EQ(first.flags, 0u);
  EXPECT_EQ(first.maxFile, 255u);
  EXPECT_EQ(first.maxTitle, 255u);
  EXPECT_TRUE(first.emptyBuffers);

  // Types a name into the chooser and answers the message box the dialog
  // then shows; gives its caption (empty when none came).
  auto refused = [&](const std::wstring& name) {
    std::string message;
    DialogDriver driver([&](HWND d) {
      HWND field = GetDlgItem(d, 0x47c) ? GetDlgItem(d, 0x47c) : GetDlgItem(d, 0x480);
      SetWindowTextW(field, name.c_str());
      Sleep(100);
      PressOk(d);
      HWND box = nullptr;
      for (int i = 0; i < 500 && !box; ++i, Sleep(10)) {
        HWND found = testing::TopWindowOf(GetCurrentProcessId(), "#32770", true);
        if (found != d && IsWindow(found)) box = found;
      }
      if (!box) return;
      char text[128] = {};
      GetWindowTextA(box, text, sizeof text);
      message = text;
      PressOk(box);
    });
    Click(dialog->Cmd_F[1].hwnd());
    EXPECT_TRUE(driver.Done());
    return message;
  };

  // A picture that cannot be read (no such file, or not a picture) is
  // refused with a message; path, folder and thumbnail stay.
  std::ofstream(folder / "broken.jpg", std::ios::binary) << "not a picture";
  for (const char* name : {"new.jpg", "broken.jpg"}) {
    EXPECT_EQ(refused(forms::Wide(folder / name)), "<ゲルモ>") << name;
    EXPECT_EQ(g_saverSettings.BackFile(), folder / "a.bmp");
    EXPECT_EQ(dialog->lbl_Fname[1].caption(), folder / "a.bmp");
    EXPECT_EQ(dialog->Img[1].picture(), thumbnail);
  }
  EXPECT_EQ(choosers.files.back().initialDir, folder.path()) << "opens where the last file was";

  // Cancelled: nothing changes.
  {
    DialogDriver driver(PressCancel);
    Click(dialog->Cmd_F[1].hwnd());
    ASSERT_TRUE(driver.Done());
  }
  EXPECT_EQ(g_saverSettings.BackFile(), folder / "a.bmp");
  EXPECT_EQ(dialog->lbl_Fname[1].caption(), folder / "a.bmp");

  // A file whose name code page 932 cannot hold is kept by its short name,
  // which opens the same picture.
  const std::wstring cafe = forms::Wide(folder.path()) + L"\\caf\u00E9.bmp";
  ASSERT_TRUE(CopyFileW(forms::Wide(folder / "a.bmp").c_str(), cafe.c_str(), FALSE));
  {
    DialogDriver driver([&](HWND d) {
      HWND field = GetDlgItem(d, 0x47c) ? GetDlgItem(d, 0x47c) : GetDlgItem(d, 0x480);
      SetWindowTextW(field, cafe.c_str());
      Sleep(100);
      PressOk(d);
    });
    Click(dialog->Cmd_F[1].hwnd());
    ASSERT_TRUE(driver.Done());
  }
  const std::string stored = g_saverSettings.BackFile();
  EXPECT_EQ(forms::NarrowExactly(forms::Wide(stored)), stored) << "932 holds it";
  EXPECT_NE(stored.find('~'), std::string::npos) << stored;
  wchar_t longForm[MAX_PATH] = {};
  GetLongPathNameW(forms::Wide(stored).c_str(), longForm, MAX_PATH);
  EXPECT_EQ(std::wstring(longForm), cafe);
  EXPECT_EQ(dialog->lbl_Fname[1].caption(), stored);

  // A new name that 932 cannot hold has no short name yet: the dialog says so
  // and keeps the previous choice.
  EXPECT_EQ(refused(forms::Wide(folder.path()) + L"\\na\u00EFve.jpg"), "<ゲルモ>")
      << "the message box, titled with the dialog's caption";
  EXPECT_EQ(g_saverSettings.BackFile(), stored);
  EXPECT_EQ(dialog->lbl_Fname[1].caption(), stored);

  // The music file: its own filter and folder, no thumbnail.
  {
    DialogDriver driver([&](HWND d) { TypeFileName(d, folder / "song.mp3"); });
    Click(dialog->Cmd_F[2].hwnd());
    ASSERT_TRUE(driver.Done());
  }
  // The players' extensions, then every file.
  const std::string music = choosers.files.back().filter;
  EXPECT_EQ(music.rfind("音楽ﾌｧｲﾙ|*.", 0), 0u) << music;
  for (const char* pattern : {"*.mp3;", ";*.wav;"}) EXPECT_NE(music.find(pattern), std::string::npos) << music;
  EXPECT_EQ(music.substr(music.size() - every.size()), every);
  EXPECT_EQ(choosers.files.back().initialDir, folder.path());
  EXPECT_EQ(g_saverSettings.BgmFile, folder / "song.mp3");
  EXPECT_EQ(dialog->lbl_Fname[2].caption(), folder / "song.mp3");
}

// The folder row: the stored folder and time shown, a chosen folder taken with
// its first picture as the thumbnail (from a folder inside it), and a folder
// without a picture that can be read refused with the previous choice kept.
TEST_F(Dialog, ChoosingAFolderTakesItWithItsFirstPictureAndRefusesOneWithout) {
  ScratchFolder folder("gelmo-dialog-slides");
  CreateDirectoryA((folder / "inner").c_str(), nullptr);
  WriteBmp(folder / "inner" + "\\green.bmp", RGB(0, 255, 0));
  std::ofstream(folder / "notes.txt") << "not a picture";
  CreateDirectoryA((folder / "empty").c_str(), nullptr);
  std::ofstream(folder / "empty" + "\\broken.jpg", std::ios::binary) << "not a picture";
  SaverSettings s = Kinds(2, 0, 0);
  s.SlideFolder = "C:\\before";
  s.SlideSeconds = 45;
  Open(s);
  EXPECT_EQ(dialog->lbl_Folder.caption(), "C:\\before");
  EXPECT_EQ(dialog->Slide_Time.Text(), "45秒");
  EXPECT_EQ(SendMessageA(dialog->Slide_Time.hwnd(), CB_GETCOUNT, 0, 0), 8) << "the seven times and the stored one";

  choosers.folderAnswer = forms::Wide(folder.path());
  Click(dialog->Cmd_Folder.hwnd());
  EXPECT_EQ(choosers.folderStart, L"C:\\before") << "opens at the folder before";
  EXPECT_EQ(g_saverSettings.SlideFolder, folder.path());
  EXPECT_EQ(dialog->lbl_Folder.caption(), folder.path());
  ASSERT_TRUE(dialog->Img[0].picture());
  const std::shared_ptr<forms::Picture> thumbnail = dialog->Img[0].picture();

  std::string message;
  choosers.folderAnswer = forms::Wide(folder / "empty");
  {
    DialogDriver driver([&](HWND box) {
      char text[128] = {};
      GetWindowTextA(box, text, sizeof text);
      message = text;
      PressOk(box);
    });
    Click(dialog->Cmd_Folder.hwnd());
    EXPECT_TRUE(driver.Done());
  }
  EXPECT_EQ(message, "<ゲルモ>");
  EXPECT_EQ(g_saverSettings.SlideFolder, folder.path());
  EXPECT_EQ(dialog->lbl_Folder.caption(), folder.path());
  EXPECT_EQ(dialog->Img[0].picture(), thumbnail);
}

// The music folder row: a folder without a song that plays refused with the
// previous choice kept, one with a song taken, and both kind and folder saved.
TEST_F(Dialog, ChoosingAMusicFolderTakesOneWithASongAndConfirmSavesIt) {
  ScratchFolder folder("gelmo-dialog-songs");
  std::ofstream(folder / "notes.txt") << "not a song";
  SaverSettings s = Kinds(0, 0, 2);
  s.BgmFileFolder = "C:\\tunes";
  Open(s);
  Click(dialog->lbl_BGM[3].hwnd());

  choosers.folderAnswer = forms::Wide(folder.path());
  std::string caption, message;
  {
    DialogDriver driver([&](HWND box) {
      char text[256] = {};
      GetWindowTextA(box, text, sizeof text);
      caption = text;
      GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the message box's text
      message = text;
      PressOk(box);
    });
    Click(dialog->Cmd_BgmFolder.hwnd());
    EXPECT_TRUE(driver.Done());
  }
  EXPECT_EQ(choosers.folderStart, L"C:\\tunes") << "with no folder yet, where the music file was";
  EXPECT_EQ(caption, "<ゲルモ>");
  EXPECT_EQ(message.rfind("このフォルダには、再生できる音楽ファイルがありません。", 0), 0u) << message;
  EXPECT_EQ(g_saverSettings.BgmFolder, "");
  EXPECT_EQ(dialog->lbl_BgmFolder.caption(), "");

  WriteSilentWav(folder / "silence.wav");
  Click(dialog->Cmd_BgmFolder.hwnd());
  EXPECT_EQ(g_saverSettings.BgmFolder, folder.path());
  EXPECT_EQ(dialog->lbl_BgmFolder.caption(), folder.path());

  const std::string ini = SettingsFilePath();
  Click(dialog->Cmd_Set.hwnd());
  std::ifstream in(ini, std::ios::binary);
  const std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  DeleteFileA(ini.c_str());
  EXPECT_NE(saved.find("\r\nBGM区分= 3\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("\r\nBGMﾌｫﾙﾀﾞ=" + folder.path() + "\r\n"), std::string::npos) << saved;
}

TEST_F(Dialog, ColourDialogOffersTheSystemColoursAndFillsTheSwatch) {
  Open(Kinds(0, 0, 0));
  {
    // A click on the basic colour in row 2, column 1 (pure red) of the
    // colour box (0x2d0), then OK.
    DialogDriver driver([&](HWND d) {
      RECT box;
      GetWindowRect(GetDlgItem(d, 0x2d0), &box);
      MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&box), 2);
      const int dx = (box.right - box.left) / 8, dy = (box.bottom - box.top) / 6;
      const LPARAM at = MAKELPARAM(box.left + dx / 2, box.top + dy + dy / 2);
      SendMessageA(d, WM_LBUTTONDOWN, MK_LBUTTON, at);
      SendMessageA(d, WM_LBUTTONUP, 0, at);
      PressOk(d);
    });
    Click(dialog->Cmd_Color.hwnd());
    ASSERT_TRUE(driver.Done()) << std::hex << choosers.lastError << " calls " << choosers.colourCalls;
  }
  EXPECT_EQ(dialog->lbl_Color.backColour(), RGB(255, 0, 0));
  ASSERT_EQ(choosers.colourCalls, 1);
  EXPECT_EQ(choosers.colour.lStructSize, sizeof(CHOOSECOLORW));
  EXPECT_EQ(choosers.colour.hwndOwner, dialog->hwnd());
  EXPECT_EQ(choosers.colour.rgbResult, 0u);
  EXPECT_EQ(choosers.colour.Flags, DWORD(CC_PREVENTFULLOPEN));
  for (int n = 0; n < 16; ++n) EXPECT_EQ(choosers.custom[n], GetSysColor(n)) << n;

  // Cancelled: the swatch keeps the colour.
  {
    DialogDriver driver(PressCancel);
    Click(dialog->Cmd_Color.hwnd());
    ASSERT_TRUE(driver.Done());
  }
  EXPECT_EQ(dialog->lbl_Color.backColour(), RGB(255, 0, 0));
  EXPECT_EQ(g_saverSettings.BackColour, 0x00336699) << "the stored colour itself is not changed";
}

TEST_F(Dialog, GradientIsDarkAtTheEdgesAndLightHalfWay) {
  Open(Kinds(0, 0, 0));
  HDC form = dialog->hdc();
  // A pixel row holds fifteen one-twip lines; it shows the last of them.
  EXPECT_EQ(GetPixel(form, 250, 0), RGB(31, 31, 31));
  EXPECT_EQ(GetPixel(form, 250, 506), RGB(30, 30, 30));
  const COLORREF middle = GetPixel(form, 250, 253);
  EXPECT_GE(GetRValue(middle), 249);
  EXPECT_EQ(GetRValue(middle), GetBValue(middle));
  // The panel has a gradient of its own height.
  HDC panel = dialog->Pic.hdc();
  const int h = dialog->Pic.PixelHeight();
  EXPECT_LE(GetRValue(GetPixel(panel, 5, 0)), 32);
  EXPECT_GE(GetRValue(GetPixel(panel, 5, h / 2)), 249);
  // A transparent label shows the panel's gradient behind its text.
  HDC label = GetDC(dialog->lbl_Obj[0].hwnd());
  EXPECT_EQ(GetPixel(label, dialog->lbl_Obj[0].PixelWidth() - 2, 1),
            GetPixel(panel, dialog->lbl_Obj[0].Left() / 15 + dialog->lbl_Obj[0].PixelWidth() - 2,
                     dialog->lbl_Obj[0].Top() / 15 + 1));
  ReleaseDC(dialog->lbl_Obj[0].hwnd(), label);
}

TEST_F(Dialog, LinkOpensTheAddressEachTimeAndTheDialogStays) {
  ScratchFolder folder("gelmo-dialog-link");
  Open(Kinds(0, 0, 0));
  ASSERT_NE(dialog->lbl_URL.cursor, nullptr);
  ICONINFO info = {};
  ASSERT_TRUE(GetIconInfo(dialog->lbl_URL.cursor, &info));
  EXPECT_EQ(info.xHotspot, 12u);
  EXPECT_EQ(info.yHotspot, 10u);
  DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);

  // A batch file stands in for the browser: each start appends a line.
  const std::string log = folder / "starts.txt";
  const std::string opener = folder / "open.bat";
  HANDLE bat = CreateFileA(opener.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  const std::string script = "@echo started>>\"" + log + "\"\r\n";
  DWORD written = 0;
  WriteFile(bat, script.data(), DWORD(script.size()), &written, nullptr);
  CloseHandle(bat);
  dialog->lbl_URL.SetCaption(opener);
  auto lines = [&] {
    std::string text(256, '\0');
    HANDLE f = CreateFileA(log.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD got = 0;
    if (f != INVALID_HANDLE_VALUE) ReadFile(f, &text[0], 255, &got, nullptr), CloseHandle(f);
    text.resize(got);
    return std::count(text.begin(), text.end(), '\n');
  };
  Click(dialog->lbl_URL.hwnd());
  EXPECT_EQ(forms::GetMousePointer(), forms::MousePointer::kDefault);
  EXPECT_TRUE(PumpUntil(15000, [&] { return lines() == 1; }));
  Click(dialog->lbl_URL.hwnd());
  EXPECT_TRUE(PumpUntil(15000, [&] { return lines() == 2; }));
  EXPECT_TRUE(dialog->loaded()) << "the dialog stays open";
}

TEST_F(Dialog, OpeningZoomStartsWhereTheMouseStands) {
  SetCursorPos(123, 234);
  Open(Kinds(0, 0, 0));
  EXPECT_EQ(g_animOriginX, 123);
  EXPECT_EQ(g_animOriginY, 234);
}

TEST(DialogFont, JapaneseTextHasGlyphs) {
  // The dialog's font must draw kana and kanji, not empty boxes.
  HFONT font = forms::CreatePointFont("ＭＳ Ｐゴシック", 9.75);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  EXPECT_EQ(metrics.tmCharSet, SHIFTJIS_CHARSET);
  const wchar_t text[] = L"\u30B2\u30EB\u30E2\u80CC\u666F";  // ゲルモ背景
  WORD glyphs[5] = {};
  ASSERT_EQ(GetGlyphIndicesW(dc, text, 5, glyphs, GGI_MARK_NONEXISTING_GLYPHS), 5u);
  for (WORD g : glyphs) EXPECT_NE(g, 0xFFFF);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(font);
}

TEST(DialogRepeat, TextBecomesTheTrackOrZero) {
  EXPECT_EQ(RepeatFromText(""), 0);
  EXPECT_EQ(RepeatFromText("12"), 12);
  EXPECT_EQ(RepeatFromText(" 7 "), 7);
  EXPECT_EQ(RepeatFromText("2.5"), 2) << "halves to even";
  EXPECT_EQ(RepeatFromText("3.5"), 4);
  EXPECT_EQ(RepeatFromText("-4"), -4);
  EXPECT_EQ(RepeatFromText("abc"), 0);
  EXPECT_EQ(RepeatFromText("32767"), 32767);
  EXPECT_EQ(RepeatFromText("32768"), 0) << "beyond 16 bits: no track";
  EXPECT_EQ(RepeatFromText("-99999"), 0);
}

}  // namespace
}  // namespace gelmo
