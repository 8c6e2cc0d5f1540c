// The forms layer on the real window system: event order, geometry in twips,
// persistent images and their BMP files, timers, indexed controls, pictures
// and program services.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "renderer/bmp_reader.h"
#include "scr/forms/forms_win.h"
#include "scr/forms/program_win.h"
#include "scr/pictures/pictures_win.h"

namespace gelmo::forms {
namespace {

using namespace pictures;

void Pump(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  MSG msg;
  while (GetTickCount() < end) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(5);
  }
}

bool QuitPosted() {
  MSG msg;
  return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

struct Recorder : Form {
  std::string events;
  bool cancelQuery = false;
  bool visibleAtLoad = true;
  UnloadMode lastMode = UnloadMode::kCode;
  void OnLoad() override {
    events += "load ";
    visibleAtLoad = IsWindowVisible(hwnd()) != 0;
  }
  void OnQueryUnload(bool& cancel, UnloadMode mode) override {
    events += "query ";
    lastMode = mode;
    cancel = cancelQuery;
  }
  void OnUnload(bool&) override { events += "unload "; }
};

TEST(Forms, LoadRunsBeforeShowingAndUnloadAsksFirst) {
  Recorder form;
  form.SetCaption("recorder");
  form.Load();
  EXPECT_EQ(form.events, "load ");
  EXPECT_FALSE(form.visibleAtLoad);
  EXPECT_FALSE(IsWindowVisible(form.hwnd()));
  form.Show();
  EXPECT_TRUE(IsWindowVisible(form.hwnd()));
  EXPECT_EQ(form.events, "load ");  // showing a loaded form does not load it again
  EXPECT_EQ(FindWindowA(nullptr, "recorder"), form.hwnd());

  form.cancelQuery = true;
  EXPECT_FALSE(form.Unload());
  EXPECT_TRUE(form.loaded());
  form.cancelQuery = false;
  SendMessageA(form.hwnd(), WM_CLOSE, 0, 0);  // the close box
  EXPECT_EQ(form.events, "load query query unload ");
  EXPECT_EQ(form.lastMode, UnloadMode::kControlMenu);
  EXPECT_FALSE(form.loaded());
  EXPECT_EQ(FindWindowA(nullptr, "recorder"), nullptr);
  EXPECT_TRUE(QuitPosted()) << "the last form's unload ends the program";
}

TEST(Forms, WindowDestroyedFromOutsideStillUnloads) {
  Recorder form;
  form.Load();
  DestroyWindow(form.hwnd());
  EXPECT_EQ(form.events, "load unload ");
  EXPECT_FALSE(form.loaded());
  EXPECT_EQ(Form::LoadedForms(), 0);
}

struct SelfClosing : Form {
  Timer timer{*this, 50, true};
  int ticks = 0;
  SelfClosing() {
    timer.onTimer = [this] {
      if (++ticks == 3) Unload();
    };
  }
};

TEST(Forms, ModalShowReturnsWhenTheFormIsUnloaded) {
  SelfClosing form;
  const DWORD start = GetTickCount();
  form.Show(true);
  EXPECT_FALSE(form.loaded());
  EXPECT_EQ(form.ticks, 3);
  EXPECT_GE(GetTickCount() - start, 100u);
}

TEST(Forms, GeometryIsInTwips) {
  ASSERT_EQ(TwipsPerPixelX(), 15);  // 96 dots per inch
  ASSERT_EQ(TwipsPerPixelY(), 15);
  EXPECT_EQ(ScreenWidthTwips(), GetSystemMetrics(SM_CXSCREEN) * 15);
  Form form;
  form.border = Border::kNone;
  form.Move(150, 300, 1500, 750);
  form.Load();
  RECT r;
  GetWindowRect(form.hwnd(), &r);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.right - r.left, 100);
  EXPECT_EQ(r.bottom - r.top, 50);
  EXPECT_EQ(form.ClientWidth(), 1500);
  PictureBox box(form);
  box.Move(30, 45, 1095, 1155);
  EXPECT_EQ(box.PixelWidth(), 73);
  EXPECT_EQ(box.PixelHeight(), 77);
  GetWindowRect(box.hwnd(), &r);
  EXPECT_EQ(r.right - r.left, 73);
  form.Unload();
}

TEST(Forms, PersistentImageKeepsDrawingAndSavesAsTheRendererReadsIt) {
  Form form;
  form.border = Border::kNone;
  form.Move(0, 0, 3000, 3000);
  PictureBox box(form);
  box.Move(0, 0, 1095, 1155);  // 73 x 77 pixels: rows need padding
  form.Show();
  box.SetBackColour(RGB(0, 0, 255));
  RECT square = {10, 20, 30, 40};
  HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
  FillRect(box.hdc(), &square, green);
  DeleteObject(green);
  box.Refresh();

  // Covered and shown again, the box repaints from its image.
  RedrawWindow(box.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  HDC dc = GetDC(box.hwnd());
  EXPECT_EQ(GetPixel(dc, 15, 25), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(dc, 50, 60), RGB(0, 0, 255));
  ReleaseDC(box.hwnd(), dc);

  const std::string path = "C:\\gelmo-forms-test.bmp";
  ASSERT_TRUE(box.SaveImage(path));
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
  MemorySource source(bytes.data(), bytes.size());
  BmpImage image;
  ASSERT_EQ(ReadHandOffBitmap(source, image), BmpResult::kOk);
  EXPECT_EQ(image.width, 73);
  EXPECT_EQ(image.height, 77);
  EXPECT_EQ(bytes[28], 24);
  const std::size_t row = 220;  // 73 * 3 = 219, padded to a multiple of 4
  auto pixel = [&](int x, int yFromTop) {
    const std::uint8_t* p = &image.pixels[(76 - yFromTop) * row + x * 3];
    return RGB(p[2], p[1], p[0]);
  };
  EXPECT_EQ(pixel(15, 25), RGB(0, 255, 0));
  EXPECT_EQ(pixel(5, 5), RGB(0, 0, 255));
  EXPECT_EQ(pixel(72, 76), RGB(0, 0, 255));
  DeleteFileA(path.c_str());
  form.Unload();
}

struct TimedForm : Form {
  Timer fast{*this, 50, true};
  Timer off{*this, 20, false};
  int fastTicks = 0, offTicks = 0;
  DWORD thread = 0;
  TimedForm() {
    fast.onTimer = [this] {
      ++fastTicks;
      thread = GetCurrentThreadId();
    };
    off.onTimer = [this] { ++offTicks; };
  }
};

TEST(Forms, TimersTickOncePerIntervalOnTheWindowThreadWhileEnabled) {
  TimedForm form;
  form.Load();
  Pump(600);
  EXPECT_GE(form.fastTicks, 6);
  EXPECT_LE(form.fastTicks, 13);
  EXPECT_EQ(form.offTicks, 0);
  EXPECT_EQ(form.thread, GetCurrentThreadId());
  form.fast.SetEnabled(false);
  form.off.SetEnabled(true);
  const int before = form.fastTicks;
  Pump(300);
  EXPECT_EQ(form.fastTicks, before);
  EXPECT_GE(form.offTicks, 5);
  form.Unload();
}

TEST(Forms, IndexedControlsTellTheirIndexToTheHandler) {
  Form form;
  form.Load();
  std::vector<std::unique_ptr<Label>> labels;
  std::vector<int> clicked;
  for (int i = 0; i < 3; ++i) {
    labels.push_back(std::make_unique<Label>(form, i));
    labels.back()->onClick = [&](int index) { clicked.push_back(index); };
  }
  SendMessageA(labels[2]->hwnd(), WM_LBUTTONUP, 0, 0);
  SendMessageA(labels[0]->hwnd(), WM_LBUTTONUP, 0, 0);
  labels[1]->SetEnabled(false);
  SendMessageA(labels[1]->hwnd(), WM_LBUTTONUP, 0, 0);  // a disabled control stays silent
  EXPECT_EQ(clicked, (std::vector<int>{2, 0}));
  form.Unload();
}

TEST(Forms, PicturesLoadFromBmpAndJpegAndFailuresChangeNothing) {
  Form form;
  form.Load();
  PictureBox box(form);
  box.Move(0, 0, 600, 600);

  auto jpeg = LoadPicture(GELMO_TEST_JPEG);
  ASSERT_NE(jpeg, nullptr);
  EXPECT_EQ(jpeg->width(), 40);
  EXPECT_EQ(jpeg->height(), 30);
  box.SetPicture(jpeg);
  COLORREF c = GetPixel(box.hdc(), 10, 10);
  EXPECT_GT(GetRValue(c), 230);  // the test picture is red
  EXPECT_LT(GetGValue(c), 30);

  EXPECT_EQ(LoadPicture("C:\\no\\such\\picture.bmp"), nullptr);
  const std::string junk = "C:\\gelmo-not-a-picture.bmp";
  std::ofstream(junk, std::ios::binary) << "this is not a picture";
  EXPECT_EQ(LoadPicture(junk), nullptr);
  DeleteFileA(junk.c_str());
  EXPECT_EQ(box.picture(), jpeg);  // nothing changed

  // A BMP written by the box itself comes back the same.
  box.SetBackColour(RGB(10, 200, 30));
  ASSERT_TRUE(box.SaveImage("C:\\gelmo-roundtrip.bmp"));
  auto bmp = LoadPicture("C:\\gelmo-roundtrip.bmp");
  ASSERT_NE(bmp, nullptr);
  EXPECT_EQ(bmp->width(), 40);
  DeleteFileA("C:\\gelmo-roundtrip.bmp");
  form.Unload();
}

// The colour at (x, y) of a loaded picture.
COLORREF PixelOf(const Picture& picture, int x, int y) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, picture.bitmap());
  const COLORREF c = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteDC(dc);
  return c;
}

bool Near(COLORREF a, COLORREF b) {
  return std::abs(GetRValue(a) - GetRValue(b)) < 48 && std::abs(GetGValue(a) - GetGValue(b)) < 48 &&
         std::abs(GetBValue(a) - GetBValue(b)) < 48;
}

// Every format through the system's decoders, and every orientation tag: the
// same upright 64x48 picture of four quadrants (red, green / blue, yellow);
// pixels with alpha come out laid over the back colour asked for.
TEST(Forms, PicturesOfEveryFormatAndOrientationComeOutUpright) {
  const COLORREF back = RGB(255, 0, 255);
  struct Case {
    const char* file;
    COLORREF lowerRight;
  };
  const Case cases[] = {
      {"upright.bmp", RGB(255, 255, 0)},       {"upright.png", RGB(255, 255, 0)},
      {"upright.gif", RGB(255, 255, 0)},       {"upright.tif", RGB(255, 255, 0)},
      {"alpha.png", back},                     {"orientation-1.jpg", RGB(255, 255, 0)},
      {"orientation-2.jpg", RGB(255, 255, 0)}, {"orientation-3.jpg", RGB(255, 255, 0)},
      {"orientation-4.jpg", RGB(255, 255, 0)}, {"orientation-5.jpg", RGB(255, 255, 0)},
      {"orientation-6.jpg", RGB(255, 255, 0)}, {"orientation-7.jpg", RGB(255, 255, 0)},
      {"orientation-8.jpg", RGB(255, 255, 0)}, {"orientation-8.tif", RGB(255, 255, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    auto picture = LoadPicture(std::string(GELMO_TEST_PICTURES "\\") + c.file, {back, kLongestPictureSide});
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->width(), 64);
    EXPECT_EQ(picture->height(), 48);
    EXPECT_PRED2(Near, PixelOf(*picture, 16, 12), RGB(255, 0, 0));
    EXPECT_PRED2(Near, PixelOf(*picture, 48, 12), RGB(0, 255, 0));
    EXPECT_PRED2(Near, PixelOf(*picture, 16, 36), RGB(0, 0, 255));
    EXPECT_PRED2(Near, PixelOf(*picture, 48, 36), c.lowerRight);
  }
  // Reduced to the longest side asked for, keeping the shape, still upright.
  auto small = LoadPicture(GELMO_TEST_PICTURES "\\orientation-6.jpg", {back, 32});
  ASSERT_NE(small, nullptr);
  EXPECT_EQ(small->width(), 32);
  EXPECT_EQ(small->height(), 24);
  EXPECT_PRED2(Near, PixelOf(*small, 24, 18), RGB(255, 255, 0));

  // The decoders' extensions the file chooser offers.
  std::string extensions;
  for (const std::string& list : PictureFileExtensions()) extensions += list + ",";
  std::replace(extensions.begin(), extensions.end(), ';', ',');  // some decoders separate with ";"
  for (const char* e : {".bmp,", ".jpg,", ".png,", ".gif,", ".tif,"})
    EXPECT_NE(extensions.find(e), std::string::npos) << e << " in " << extensions;
}

// Small files whose headers claim pictures that could never fit are refused
// before any decoder opens them (some take the whole claimed frame at once):
// quickly, and with the process far from the gigabytes they would take.
TEST(Forms, PicturesClaimingMoreThanFitsAreRefusedUnopened) {
  for (const char* file : {"claims-60000.jpg", "claims-30000.png", "claims-30000.gif", "claims-30000.tif"}) {
    const DWORD start = GetTickCount();
    EXPECT_EQ(LoadPicture(std::string(GELMO_TEST_PICTURES "\\") + file), nullptr) << file;
    EXPECT_LT(GetTickCount() - start, 2000u) << file;
  }
  PROCESS_MEMORY_COUNTERS memory = {};
  ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory));
  EXPECT_LT(memory.PeakWorkingSetSize, SIZE_T(200) << 20);
}

TEST(ProgramServices, FolderAndCommandLine) {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(std::string(path).rfind(folder + "\\", 0), 0u) << folder;
  EXPECT_NE(folder.back(), '\\');
  // gtest's own arguments follow the program name.
  EXPECT_NE(CommandLineArguments().find("--gtest_filter"), std::string::npos);
}

TEST(ProgramServices, StartsAProgramByItsQuotedPathInANormalWindow) {
  const std::string folder = "C:\\gelmo test folder";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string probe = folder + "\\probe program.exe";
  ASSERT_TRUE(CopyFileA(GELMO_PROBE_EXE, probe.c_str(), FALSE));
  const std::string report = "C:\\gelmo-probe-report.txt";
  DeleteFileA(report.c_str());
  ASSERT_TRUE(StartProgram(probe));
  std::string text;
  for (int i = 0; i < 200 && text.empty(); ++i) {
    Sleep(50);
    std::ifstream in(report);
    std::getline(in, text, '\0');
  }
  EXPECT_NE(text.find("cmdline=\"" + probe + "\""), std::string::npos) << text;
  EXPECT_NE(text.find("show=1"), std::string::npos) << text;
  EXPECT_FALSE(StartProgram(folder + "\\missing.exe"));
  Sleep(200);
  DeleteFileA(report.c_str());
  DeleteFileA(probe.c_str());
  RemoveDirectoryA(folder.c_str());
}

TEST(ProgramServices, OpenForReadingRefusesFoldersAndMissingFiles) {
  EXPECT_TRUE(CanOpenForReading(GELMO_PROBE_EXE));
  EXPECT_FALSE(CanOpenForReading("C:\\windows"));
  EXPECT_FALSE(CanOpenForReading("C:\\no-such-file.txt"));
  EXPECT_FALSE(CanOpenForReading(""));
}

}  // namespace
}  // namespace gelmo::forms
