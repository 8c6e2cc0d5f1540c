#include "scr/dialog/dialog_win.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <thread>
#include <utility>

#include "scr/dialog/dialog_rules.h"
#include "scr/pictures/picture_files.h"
#include "scr/pictures/pictures_win.h"
#include "scr/forms/program_names.h"
#include "scr/music/music_win.h"
#include "scr/forms/text_win.h"
#include "scr/settings/number_text.h"
#include "scr/settings/settings_win.h"
#include "scr/forms/resources.h"

namespace gelmo {

std::int16_t g_animOriginX = 0, g_animOriginY = 0;

namespace {

constexpr char kFontFace[] = "ＭＳ Ｐゴシック";
constexpr double kFontPoints = 9.75;
constexpr char kFileDialogTitle[] = "ﾌｧｲﾙを開く";
// What the "..." buttons are called where their caption is not read.
constexpr char kBrowseText[] = "参照…";
constexpr char kPathNotStorable[] =
    "このファイルの場所には、設定ファイルに書けない文字が含まれています。\n"
    "ファイルやフォルダの名前を変えるか、別のファイルを選んでください。";

// The layout is designed on a grid of 15 twips (a pixel at 96 dots per inch).
constexpr int Px(int pixels) { return pixels * 15; }

// The folder rows of the object group, and those of the music group, each
// push everything below them down by this much (pixels).
constexpr int kFolderRowsHeight = 48;
constexpr int kClientWidth = 7560, kClientHeight = Px(411 + 2 * kFolderRowsHeight);  // 7605
constexpr COLORREF kWindowBack = 0x00C0C0C0;
constexpr COLORREF kPanelBack = 0x00E0E0E0;
constexpr COLORREF kHeadingFill = RGB(214, 226, 244);
constexpr COLORREF kHeadingEdge = RGB(70, 80, 100);

#ifndef _WIN64
// The record sizes of the shipped 32-bit program, as the platform knows them.
static_assert(offsetof(OPENFILENAMEW, lpTemplateName) + sizeof(LPCWSTR) == 76 && sizeof(CHOOSECOLORW) == 36,
              "record sizes");
#endif

// Thumbnails are decoded at twice their 60-pixel box, never at the photo's size.
constexpr int kThumbnailSide = 120;
// Posted by a thumbnail's decoding thread; lParam holds a ThumbnailReady.
constexpr UINT kThumbnailReadyMessage = WM_APP + 1;
struct ThumbnailReady {
  int index;
  unsigned request;
  std::shared_ptr<forms::Picture> picture;
};

constexpr char kNoPictureInFolder[] =
    "このフォルダには、読み込める画像ファイルがありません。\n"
    "画像の入っているフォルダを選んでください。";
constexpr char kNoSongInFolder[] =
    "このフォルダには、再生できる音楽ファイルがありません。\n"
    "曲の入っているフォルダを選んでください。";
constexpr char kPictureUnreadable[] =
    "この画像ファイルは読み込めません。\n"
    "画像の形式がこのコンピュータで読めないか、ファイルが壊れています。別のファイルを選んでください。";

// A chooser's filters: description, NUL, pattern, NUL for each, and the NUL
// that ends the list.
std::string Filters(std::initializer_list<std::pair<std::string, std::string>> filters) {
  std::string list;
  for (const auto& [description, pattern] : filters) list += description + '\0' + pattern + '\0';
  return list;
}

// Pictures: the patterns of every decoder installed now, so that a codec the
// user adds later is offered too; then every file.
std::string PictureFilters() {
  return Filters({{"画像ﾌｧｲﾙ", PicturePattern(pictures::PictureFileExtensions())}, {"すべてのﾌｧｲﾙ (*.*)", "*.*"}});
}

// The music files of every player this system has, then every file.
std::string MusicFilters() {
  return Filters({{"音楽ﾌｧｲﾙ", MusicPattern(music::MusicFileExtensions())}, {"すべてのﾌｧｲﾙ (*.*)", "*.*"}});
}

// A choice refused: the message, titled with the dialog's caption.
void Refuse(HWND owner, const char* message) {
  MessageBoxW(owner, forms::Wide(message).c_str(), forms::Wide(kDialogCaption).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

RECT ScreenRectOf(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return r;
}

RECT OriginPoint() { return {g_animOriginX, g_animOriginY, g_animOriginX, g_animOriginY}; }

// The 12 x 12 option pictures: a light grey square in a dark frame, and a
// blue one in a light frame with a small highlight.
std::shared_ptr<forms::Picture> OptionPicture(bool marked) {
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 12, 12);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  auto fill = [dc](int l, int t, int r, int b, COLORREF colour) {
    const RECT rect = {l, t, r, b};
    forms::FillSolid(dc, &rect, colour);
  };
  if (marked) {
    fill(0, 0, 12, 12, RGB(236, 242, 255));
    fill(1, 1, 11, 11, RGB(24, 70, 190));
    fill(2, 2, 10, 10, RGB(40, 100, 230));
    fill(3, 3, 6, 5, RGB(150, 190, 255));
  } else {
    fill(0, 0, 12, 12, RGB(64, 64, 72));
    fill(1, 1, 11, 11, RGB(212, 212, 216));
    fill(1, 1, 11, 2, RGB(150, 150, 158));
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  return std::make_shared<forms::Picture>(bitmap);
}

// Lines across the surface, one per twip of its height, each in the grey of
// its row (see GradientGrey); width and height in twips.  Lines that fall on
// one pixel row cover each other, so only the last of them is drawn.
void DrawGradient(HDC dc, int width, int height) {
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
  const int right = forms::PixelsX(width);
  for (int y = 0; y <= height; ++y) {
    const int row = forms::PixelsY(y);
    if (y < height && forms::PixelsY(y + 1) == row) continue;
    const int grey = GradientGrey(y, height);
    SetDCPenColor(dc, RGB(grey, grey, grey));
    MoveToEx(dc, 0, row, nullptr);
    LineTo(dc, right, row);
  }
  SelectObject(dc, oldPen);
}

}  // namespace

void AnimateOpen(HWND window) {
  const RECT from = OriginPoint(), to = ScreenRectOf(window);
  DrawAnimatedRects(window, IDANI_CAPTION, &from, &to);
}

void AnimateClose(HWND window) {
  const RECT from = ScreenRectOf(window), to = OriginPoint();
  DrawAnimatedRects(window, IDANI_CAPTION, &from, &to);
}

void SetAllButtons(forms::Form& form) {
  for (forms::Control* control : form.controls())
    if (auto* button = dynamic_cast<Command*>(control)) button->Initialize();
}

std::int16_t RepeatFromText(const std::string& text) {
  const std::optional<DecimalNumber> number = ParseNumberText(text);
  const std::optional<std::int64_t> whole = number ? RoundHalfEven(*number) : std::nullopt;
  // A number the track cannot hold is no track: the whole disc plays, as when
  // the settings file holds such a number.
  if (!whole || *whole < INT16_MIN || *whole > INT16_MAX) return 0;
  return std::int16_t(*whole);
}

bool Choosers::PickFolder(HWND owner, const std::wstring& start, std::wstring* chosen) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  bool picked = false;
  // The folder chooser of Windows Vista on; before it, the shell's older one.
  IFileOpenDialog* dialog = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                 reinterpret_cast<void**>(&dialog)))) {
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM);
    IShellItem* folder = nullptr;
    if (!start.empty() &&
        SUCCEEDED(SHCreateItemFromParsingName(start.c_str(), nullptr, IID_IShellItem, reinterpret_cast<void**>(&folder)))) {
      dialog->SetFolder(folder);
      folder->Release();
    }
    IShellItem* result = nullptr;
    if (SUCCEEDED(dialog->Show(owner)) && SUCCEEDED(dialog->GetResult(&result))) {
      wchar_t* path = nullptr;
      if (SUCCEEDED(result->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
        *chosen = path;
        picked = true;
        CoTaskMemFree(path);
      }
      result->Release();
    }
    dialog->Release();
  } else {
    BROWSEINFOW browse = {};
    browse.hwndOwner = owner;
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    if (PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&browse)) {
      wchar_t path[MAX_PATH] = {};
      picked = SHGetPathFromIDListW(item, path) != FALSE;
      if (picked) *chosen = path;
      CoTaskMemFree(item);
    }
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return picked;
}

// ---- layout --------------------------------------------------------------------

SettingsDialog::SettingsDialog(Choosers& choosers) : choosers_(choosers) {
  SetCaption(kDialogCaption);
  border = forms::Border::kFixedSingle;
  minButton = false;
  SetBackColour(kWindowBack);
  icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_WINDOW_ICON));
  SetClientSize(kClientWidth, kClientHeight);
  Arrange();
}

forms::Shape& SettingsDialog::Shape3(int index) { return shapes_[index == 3 ? 2 : index]; }
forms::Label& SettingsDialog::lbl(int index) { return labels_[index == 7 ? 4 : index]; }

void SettingsDialog::Arrange() {
  Pic.SetId(kIdPic);
  Pic.SetBackColour(kPanelBack);
  constexpr int dy = kFolderRowsHeight;
  Pic.Move(Px(12), Px(12), Px(480), Px(336 + 2 * dy));

  auto inPanel = [this](forms::Control& c, int id, int x, int y, int w, int h) {
    c.SetContainer(&Pic);
    c.SetId(id);
    c.Move(Px(x), Px(y), Px(w), Px(h));
  };
  auto text = [](forms::Label& label, const std::string& caption) {
    label.SetFont(kFontFace, kFontPoints);
    label.SetCaption(caption);
  };
  auto heading = [&](int index, int y, const char* caption) {
    forms::Shape& shape = Shape3(index);
    shape.fillColour = kHeadingFill;
    shape.borderColour = kHeadingEdge;
    inPanel(shape, kIdShape3 + index, 8, y, 132, 20);
    forms::Label& label = lbl(index);
    // inside the rectangle's frame, the text a little below its top
    inPanel(label, kIdLbl + index, 9, y + 3, 130, 16);
    label.transparent = false;
    label.SetBackColour(kHeadingFill);
    label.SetForeColour(RGB(0, 0, 0));
    label.alignment = DT_CENTER;
    text(label, caption);
  };
  // An option is its picture and its text; the text is what the keyboard
  // and assistive technology reach.
  auto option = [&](forms::Image& image, forms::Label& label, int id, int y, int width, const char* caption) {
    inPanel(image, id, 20, y + 2, 12, 12);
    inPanel(label, id + 10, 38, y, width, 16);
    label.role = forms::Role::kOption;
    text(label, caption);
  };
  auto button = [&](Command& command, int id, int x, int y, int w, const char* caption) {
    inPanel(command, id, x, y, w, 25);
    command.SetCaption(caption);
  };
  // A "..." button and, beside it, the white box that shows the path chosen.
  auto pathRow = [&](Command& command, int buttonId, forms::Label& path, int pathId, int y, int width,
                     const char* name) {
    button(command, buttonId, 38, y, 30, "...");
    command.SetText(kBrowseText);
    path.accessibleName = name;
    inPanel(path, pathId, 74, y + 3, width, 19);
    path.border = true;
    path.transparent = false;
    path.SetBackColour(RGB(255, 255, 255));
    text(path, "");
  };
  auto fileRow = [&](int index, int y, const char* name) {
    pathRow(Cmd_F[index], kIdCmdF + index, lbl_Fname[index], kIdLblFname + index, y, 396, name);
  };
  auto thumbnail = [&](int index, int y) {
    inPanel(Img[index], kIdImg + index, 410, y, 60, 60);
    Img[index].stretch = true;
  };

  heading(0, 6, "オブジェクト");
  // Beside the first heading, where the row is free: a switch for the whole
  // run rather than an option of one group.
  inPanel(Img_Fill, kIdImgFill, 156, 10, 12, 12);
  inPanel(lbl_Fill, kIdLblFill, 174, 9, 150, 16);
  text(lbl_Fill, "画面全体に表示");
  lbl_Fill.role = forms::Role::kCheckBox;
  option(Img_Obj[0], lbl_Obj[0], kIdImgObj, 30, 300, "デスクトップのキャプチャ画像");
  option(Img_Obj[1], lbl_Obj[1], kIdImgObj + 1, 48, 300, "画像ファイルを指定");
  fileRow(0, 66, "オブジェクトの画像ファイル");
  thumbnail(0, 6);
  // The folder row: its button, the folder, and the time each picture stays.
  option(Img_Obj[2], lbl_Obj[2], kIdImgObj + 2, 96, 300, "フォルダの画像を順に表示");
  pathRow(Cmd_Folder, kIdCmdFolder, lbl_Folder, kIdLblFolder, 114, 318, "オブジェクトの画像フォルダ");
  inPanel(Slide_Time, kIdSlideTime, 398, 115, 72, 220);
  Slide_Time.SetFont(kFontFace, kFontPoints);

  heading(1, 98 + dy, "背景画像");
  option(Img_Back[0], lbl_Back[0], kIdImgBack, 126 + dy, 92, "指定なし　=>");
  button(Cmd_Color, kIdCmdColor, 134, 121 + dy, 64, "色指定");
  inPanel(lbl_Color, kIdLblColor, 206, 124 + dy, 48, 19);
  lbl_Color.border = true;
  lbl_Color.transparent = false;
  option(Img_Back[1], lbl_Back[1], kIdImgBack + 1, 150 + dy, 300, "デスクトップのキャプチャ画像");
  option(Img_Back[2], lbl_Back[2], kIdImgBack + 2, 168 + dy, 300, "画像ファイルを指定");
  fileRow(1, 186 + dy, "背景の画像ファイル");
  thumbnail(1, 102 + dy);

  heading(2, 218 + dy, "BGM");
  option(Img_BGM[1], lbl_BGM[1], kIdImgBgm + 1, 246 + dy, 62, "音楽CD");
  inPanel(BGM_Repeat, kIdBgmRepeat, 104, 242 + dy, 52, 220);
  BGM_Repeat.SetFont(kFontFace, kFontPoints);
  inPanel(lbl(3), kIdLbl + 3, 162, 246 + dy, 120, 16);
  text(lbl(3), "曲目をリピート");
  option(Img_BGM[0], lbl_BGM[0], kIdImgBgm, 268 + dy, 200, "指定なし");
  option(Img_BGM[2], lbl_BGM[2], kIdImgBgm + 2, 286 + dy, 200, "音楽ファイル");
  fileRow(2, 304 + dy, "音楽ファイル");
  // The folder row, placed as the object group's.
  option(Img_BGM[3], lbl_BGM[3], kIdImgBgm + 3, 334 + dy, 200, "フォルダの曲を順に再生");
  pathRow(Cmd_BgmFolder, kIdCmdBgmFolder, lbl_BgmFolder, kIdLblBgmFolder, 352 + dy, 396, "音楽フォルダ");

  // Below the panel, on the window's own gradient.
  lbl(7).SetId(kIdLbl + 7);
  lbl(7).Move(Px(14), Px(357 + 2 * dy), Px(250), Px(16));
  lbl(7).SetForeColour(RGB(255, 255, 255));
  text(lbl(7), "作者のホームページ");
  lbl_URL.SetId(kIdLblUrl);
  lbl_URL.Move(Px(14), Px(377 + 2 * dy), Px(250), Px(16));
  lbl_URL.SetForeColour(RGB(255, 255, 255));
  lbl_URL.SetFont(kFontFace, kFontPoints, false, true);
  lbl_URL.SetCaption(kHomePage);
  lbl_URL.role = forms::Role::kLink;
  lbl_URL.cursor = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_HAND_POINTER));
  if (!lbl_URL.cursor) lbl_URL.cursor = LoadCursorA(nullptr, IDC_HAND);
  Cmd_Set.SetId(kIdCmdSet);
  Cmd_Set.Move(Px(268), Px(365 + 2 * dy), Px(109), Px(25));
  Cmd_Set.SetCaption("設定");
  Cmd_Can.SetId(kIdCmdCan);
  Cmd_Can.Move(Px(383), Px(365 + 2 * dy), Px(109), Px(25));
  Cmd_Can.SetCaption("ｷｬﾝｾﾙ");

  // The keyboard: Tab in reading order, Enter for 設定, Escape for ｷｬﾝｾﾙ.
  dialogKeys = true;
  defaultButton = &Cmd_Set;
  cancelButton = &Cmd_Can;
  // Options listed one after another form one group, which the arrows go round.
  SetTabOrder({&Pic,        &lbl_Fill,    &lbl_Obj[0],  &lbl_Obj[1],  &lbl_Obj[2], &Cmd_F[0],
               &Cmd_Folder, &Slide_Time,  &lbl_Back[0], &lbl_Back[1], &lbl_Back[2], &Cmd_Color,
               &Cmd_F[1],   &lbl_BGM[1],  &lbl_BGM[0],  &lbl_BGM[2],  &lbl_BGM[3], &BGM_Repeat,
               &Cmd_F[2],   &Cmd_BgmFolder, &Cmd_Set,   &Cmd_Can,     &lbl_URL});

  // The option pictures lie outside the client area.
  for (int i = 0; i < 2; ++i) {
    Img_Ra[i].SetId(kIdImgRa + i);
    Img_Ra[i].Move(Px(-40 + 14 * i), Px(-40), Px(12), Px(12));
    Img_Ra[i].SetPicture(OptionPicture(i == 1));
  }

  for (int i = 0; i < 3; ++i) {
    Img_Obj[i].onClick = [this](int index) { Img_Obj_Click(index); };
    lbl_Obj[i].onClick = [this](int index) { lbl_Obj_Click(index); };
  }
  Cmd_Folder.Click = [this](int) { Cmd_Folder_Click(); };
  for (int i = 0; i < 3; ++i) {
    Img_Back[i].onClick = [this](int index) { Img_Back_Click(index); };
    lbl_Back[i].onClick = [this](int index) { lbl_Back_Click(index); };
    Cmd_F[i].Click = [this](int index) { Cmd_F_Click(index); };
  }
  for (int i = 0; i < 4; ++i) {
    Img_BGM[i].onClick = [this](int index) { Img_BGM_Click(index); };
    lbl_BGM[i].onClick = [this](int index) { lbl_BGM_Click(index); };
  }
  Cmd_BgmFolder.Click = [this](int) { Cmd_BgmFolder_Click(); };
  Img_Fill.onClick = [this](int) { Img_Fill_Click(); };
  lbl_Fill.onClick = [this](int) { lbl_Fill_Click(); };
  Cmd_Color.Click = [this](int) { Cmd_Color_Click(); };
  Cmd_Set.Click = [this](int) { Cmd_Set_Click(); };
  Cmd_Can.Click = [this](int) { Cmd_Can_Click(); };
  lbl_URL.onClick = [this](int) { lbl_URL_Click(); };
}

// ---- loading ---------------------------------------------------------------------

void SettingsDialog::OnLoad() {
  const SaverSettings& s = g_saverSettings;
  // The buttons as placed: their stored design applies on the first look,
  // and every one starts enabled.
  for (forms::Control* control : controls())
    if (auto* button = dynamic_cast<Command*>(control)) {
      button->Enabled();
      button->SetEnabled(true);
    }

  const WindowPlace place = DialogPlace(forms::ScreenWidthTwips(), forms::ScreenHeightTwips(), Width(), Height());
  Move(place.left, place.top, Width(), Height());
  SetAllButtons(*this);

  EnableObjectControls();
  lbl_Fname[0].SetCaption(s.ObjFile());
  lbl_Folder.SetCaption(s.SlideFolder);
  slideTimes_ = SlideTimeList(s.SlideSeconds);
  for (const SlideTimeEntry& entry : slideTimes_) {
    Slide_Time.AddItem(entry.text);
    if (entry.seconds == s.SlideSeconds) Slide_Time.SetText(entry.text);
  }
  ShowObjectThumbnail();

  Cmd_Color.SetEnabled(false);
  Cmd_F[1].SetEnabled(false);
  MarkOption(Img_Back, lbl_Back, 3, s.BackKind);
  lbl_Color.SetBackColour(COLORREF(s.BackColour));
  lbl_Fname[1].SetCaption(s.BackFile());
  if (!s.BackFile().empty())
    ShowThumbnailWhenReady(1, [file = s.BackFile(), how = pictures::PictureLoad{Pic.backColour(), kThumbnailSide}] {
      return pictures::LoadPicture(file, how);
    });
  if (s.BackKind == 0)
    Cmd_Color.SetEnabled(true);
  else if (s.BackKind == 2)
    Cmd_F[1].SetEnabled(true);

  EnableMusicControls();
  BGM_Repeat.SetText(RepeatText(s.BgmRepeat));
  for (const std::string& entry : RepeatList()) BGM_Repeat.AddItem(entry);
  lbl_Fname[2].SetCaption(s.BgmFile);
  lbl_BgmFolder.SetCaption(s.BgmFolder);
  MarkFillScreen();

  POINT mouse;
  if (GetCursorPos(&mouse)) {
    g_animOriginX = std::int16_t(mouse.x);
    g_animOriginY = std::int16_t(mouse.y);
  } else {
    g_animOriginX = g_animOriginY = 0;
  }
  AnimateOpen(hwnd());
  forms::SetMousePointer(forms::MousePointer::kDefault);
}

// The option of the kind shows the marked picture, the others the unmarked
// one; a kind outside the group marks none.
void SettingsDialog::MarkOption(forms::Image* images, forms::Label* labels, int count, std::int16_t kind) {
  const std::optional<int> marked = MarkedOption(kind, count);
  for (int i = 0; i < count; ++i) {
    images[i].SetPicture(Img_Ra[marked == i ? 1 : 0].picture());
    labels[i].SetChecked(marked == i);
  }
}

// The check box wears the option pictures: marked when the setting is on.
void SettingsDialog::MarkFillScreen() {
  Img_Fill.SetPicture(Img_Ra[g_saverSettings.FillScreen == 1 ? 1 : 0].picture());
  lbl_Fill.SetChecked(g_saverSettings.FillScreen == 1);
}

bool SettingsDialog::ShowThumbnail(int index, const std::string& file) {
  // A file that cannot be read leaves the thumbnail as it was.
  std::shared_ptr<forms::Picture> picture = pictures::LoadPicture(file, {Pic.backColour(), kThumbnailSide});
  if (!picture) return false;
  ++thumbnailRequests_[index];  // a thumbnail still decoding would come too late
  Img[index].SetPicture(std::move(picture));
  return true;
}

void SettingsDialog::ShowThumbnailWhenReady(int index, std::function<std::shared_ptr<forms::Picture>()> load) {
  const unsigned request = ++thumbnailRequests_[index];
  std::thread([window = hwnd(), index, request, load = std::move(load)] {
    std::unique_ptr<ThumbnailReady> ready;
    {
      const pictures::PictureThread decoding;
      ready = std::make_unique<ThumbnailReady>(ThumbnailReady{index, request, load()});
    }
    // Gone with the dialog, when it has closed in the meantime.
    if (PostMessageW(window, kThumbnailReadyMessage, 0, reinterpret_cast<LPARAM>(ready.get()))) ready.release();
  }).detach();
}

bool SettingsDialog::OnMessage(UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
  if (message != kThumbnailReadyMessage) return false;
  std::unique_ptr<ThumbnailReady> ready(reinterpret_cast<ThumbnailReady*>(lParam));
  // A file that cannot be read leaves the thumbnail as it was.
  if (ready->request == thumbnailRequests_[ready->index] && ready->picture)
    Img[ready->index].SetPicture(std::move(ready->picture));
  *result = 0;
  return true;
}

void SettingsDialog::OnResize() {
  DrawGradient(hdc(), ClientWidth(), ClientHeight());
  DrawGradient(Pic.hdc(), Pic.Width(), Pic.Height());
  Refresh();
}

// ---- choosing ---------------------------------------------------------------------

void SettingsDialog::Img_Obj_Click(int index) {
  SaverSettings& s = g_saverSettings;
  s.ObjKind = std::int16_t(index);
  EnableObjectControls();
  ShowObjectThumbnail();
}

void SettingsDialog::EnableObjectControls() {
  const SaverSettings& s = g_saverSettings;
  const KindDependentControls enabled = EnabledControls(s.ObjKind, s.BackKind, s.BgmKind);
  Cmd_F[0].SetEnabled(enabled.objectFileButton);
  Cmd_Folder.SetEnabled(enabled.slideControls);
  Slide_Time.SetEnabled(enabled.slideControls);
  MarkOption(Img_Obj, lbl_Obj, 3, s.ObjKind);
}

void SettingsDialog::ShowObjectThumbnail() {
  const SaverSettings& s = g_saverSettings;
  const pictures::PictureLoad how{Pic.backColour(), kThumbnailSide};
  if (s.ObjKind == 2)
    ShowThumbnailWhenReady(0, [folder = s.SlideFolder, how] {
      return pictures::FirstPictureIn(folder, kMostSlidePictures, how);
    });
  else if (!s.ObjFile().empty())
    ShowThumbnailWhenReady(0, [file = s.ObjFile(), how] { return pictures::LoadPicture(file, how); });
}

std::int32_t SettingsDialog::SlideSecondsChosen() const {
  const std::string text = Slide_Time.Text();
  for (const SlideTimeEntry& entry : slideTimes_)
    if (entry.text == text) return entry.seconds;
  return g_saverSettings.SlideSeconds;
}

void SettingsDialog::Cmd_Folder_Click() {
  SaverSettings& s = g_saverSettings;
  std::wstring chosen;
  if (!choosers_.PickFolder(hwnd(), forms::Wide(s.SlideFolder.empty() ? s.ObjFolder() : s.SlideFolder), &chosen))
    return;
  const std::optional<std::string> stored = forms::Cp932PathOf(chosen);
  if (!stored) {
    Refuse(hwnd(), kPathNotStorable);
    return;
  }
  // A folder without a picture that can be read is refused: the previous
  // choice stays, rather than a sheet that would later show nothing.
  std::shared_ptr<forms::Picture> first = pictures::FirstPictureIn(*stored, kMostSlidePictures, {Pic.backColour(), kThumbnailSide});
  if (!first) {
    Refuse(hwnd(), kNoPictureInFolder);
    return;
  }
  s.SlideFolder = *stored;
  lbl_Folder.SetCaption(s.SlideFolder);
  ++thumbnailRequests_[0];  // a thumbnail still decoding would come too late
  Img[0].SetPicture(std::move(first));
}

void SettingsDialog::Img_Back_Click(int index) {
  SaverSettings& s = g_saverSettings;
  s.BackKind = std::int16_t(index);
  Cmd_Color.SetEnabled(false);
  Cmd_F[1].SetEnabled(false);
  MarkOption(Img_Back, lbl_Back, 3, s.BackKind);
  lbl_Color.SetBackColour(COLORREF(s.BackColour));
  if (index == 0)
    Cmd_Color.SetEnabled(true);
  else if (index == 2)
    Cmd_F[1].SetEnabled(true);
}

void SettingsDialog::Img_BGM_Click(int index) {
  g_saverSettings.BgmKind = std::int16_t(index);
  EnableMusicControls();
}

void SettingsDialog::EnableMusicControls() {
  const SaverSettings& s = g_saverSettings;
  const KindDependentControls enabled = EnabledControls(s.ObjKind, s.BackKind, s.BgmKind);
  BGM_Repeat.SetEnabled(enabled.repeatBox);
  Cmd_F[2].SetEnabled(enabled.musicFileButton);
  Cmd_BgmFolder.SetEnabled(enabled.musicFolderButton);
  MarkOption(Img_BGM, lbl_BGM, 4, s.BgmKind);
}

void SettingsDialog::Cmd_BgmFolder_Click() {
  SaverSettings& s = g_saverSettings;
  std::wstring chosen;
  if (!choosers_.PickFolder(hwnd(), forms::Wide(s.BgmFolder.empty() ? s.BgmFileFolder : s.BgmFolder), &chosen))
    return;
  const std::optional<std::string> stored = forms::Cp932PathOf(chosen);
  if (!stored) {
    Refuse(hwnd(), kPathNotStorable);
    return;
  }
  // A folder without a song that plays is refused: the previous choice
  // stays, rather than a saver that would later play nothing.  The search
  // may go through many folders, so the pointer says to wait.
  forms::SetMousePointer(forms::MousePointer::kHourglass);
  const bool hasSong = music::FolderHasSong(*stored);
  forms::SetMousePointer(forms::MousePointer::kDefault);
  if (!hasSong) {
    Refuse(hwnd(), kNoSongInFolder);
    return;
  }
  s.BgmFolder = *stored;
  lbl_BgmFolder.SetCaption(s.BgmFolder);
}

void SettingsDialog::Img_Fill_Click() {
  SaverSettings& s = g_saverSettings;
  s.FillScreen = s.FillScreen == 1 ? 0 : 1;
  MarkFillScreen();
}

void SettingsDialog::Cmd_F_Click(int index) {
  SaverSettings& s = g_saverSettings;
  const bool music = index == 2;
  const std::string& folder = music ? s.BgmFileFolder : s.PictureFolder[index];
  const std::wstring filter = forms::Wide(music ? MusicFilters() : PictureFilters());
  const std::wstring initialDir = forms::Wide(folder), dialogTitle = forms::Wide(kFileDialogTitle);
  wchar_t file[256] = {};   // 255 NULs, and one more so the text always ends
  wchar_t title[256] = {};
  OPENFILENAMEW record = {};
  record.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
  record.hwndOwner = hwnd();
  record.hInstance = GetModuleHandleW(nullptr);
  record.lpstrFilter = filter.c_str();
  record.lpstrFile = file;
  record.nMaxFile = 255;
  record.lpstrFileTitle = title;
  record.nMaxFileTitle = 255;
  record.lpstrInitialDir = initialDir.c_str();
  record.lpstrTitle = dialogTitle.c_str();
  record.Flags = 0;
  if (!choosers_.OpenFile(&record)) return;

  // The settings file holds code page 932: a path it cannot hold is kept by
  // its short name, which opens the same file.  Without one the choice is
  // refused, so that nothing is stored that would later open another file.
  const std::optional<std::string> stored = forms::Cp932PathOf(std::wstring_view(file, wcsnlen(file, 255)));
  if (!stored) {
    Refuse(hwnd(), kPathNotStorable);
    return;
  }
  const std::string& path = *stored;
  if (music) {
    s.BgmFile = path;
    lbl_Fname[2].SetCaption(path);
    s.BgmFileFolder = FolderOfPath(s.BgmFile);
  } else {
    // A picture that cannot be read is refused: the previous choice stays,
    // rather than a sheet that would later show nothing.
    if (!ShowThumbnail(index, path)) {
      Refuse(hwnd(), kPictureUnreadable);
      return;
    }
    s.PictureFile[index] = path;
    lbl_Fname[index].SetCaption(path);
    s.PictureFolder[index] = FolderOfPath(s.PictureFile[index]);
  }
}

void SettingsDialog::Cmd_Color_Click() {
  // The custom colours offered are the system colours 0 to 15, afresh each time.
  COLORREF custom[16];
  for (int n = 0; n < 16; ++n) custom[n] = GetSysColor(n);
  CHOOSECOLORW record = {};
  record.lStructSize = sizeof record;
  record.hwndOwner = hwnd();
  record.hInstance = reinterpret_cast<HWND>(GetModuleHandleW(nullptr));
  record.rgbResult = 0;
  record.lpCustColors = custom;
  record.Flags = CC_PREVENTFULLOPEN;
  if (choosers_.ChooseColour(&record)) lbl_Color.SetBackColour(record.rgbResult);
}

// ---- saving, cancelling, the link ---------------------------------------------------------

void SettingsDialog::Cmd_Set_Click() {
  SaverSettings& s = g_saverSettings;
  s.BgmRepeat = RepeatFromText(BGM_Repeat.Text());
  s.SlideSeconds = SlideSecondsChosen();
  // The keys replace the file in one step: a confirm is saved whole or
  // not at all, and the file is complete before the window starts to close.
  WriteIniStrings(std::string(kSettingsSection),
                  {{std::string(kObjKindKey), FormatNumber(s.ObjKind)},
                   {std::string(kObjFileKey), s.ObjFile()},
                   {std::string(kBackKindKey), FormatNumber(s.BackKind)},
                   {std::string(kBackFileKey), s.BackFile()},
                   {std::string(kBackColourKey), FormatNumber(std::int32_t(lbl_Color.backColour()))},
                   {std::string(kBgmKindKey), FormatNumber(s.BgmKind)},
                   {std::string(kBgmRepeatKey), FormatNumber(s.BgmRepeat)},
                   {std::string(kBgmFileKey), s.BgmFile},
                   {std::string(kFillScreenKey), FormatNumber(s.FillScreen)},
                   {std::string(kSlideFolderKey), s.SlideFolder},
                   {std::string(kSlideSecondsKey), FormatNumber(s.SlideSeconds)},
                   {std::string(kBgmFolderKey), s.BgmFolder}},
                  SettingsFilePath());
  Unload();
}

void SettingsDialog::Cmd_Can_Click() { Unload(); }

void SettingsDialog::OnUnload(bool&) { AnimateClose(hwnd()); }

void SettingsDialog::lbl_URL_Click() {
  forms::SetMousePointer(forms::MousePointer::kHourglass);
  ShellExecuteW(hwnd(), L"open", forms::Wide(lbl_URL.caption()).c_str(), L"", L"", SW_SHOWNORMAL);
  forms::SetMousePointer(forms::MousePointer::kDefault);
}

}  // namespace gelmo
