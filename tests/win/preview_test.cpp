// The preview window drawn in a host window of this process: the fixed
// picture at its own size from the top-left corner, black beyond it, cut at
// the edges; and the live scene from the user's pictures, its pace, its
// pauses and its fall back to the fixed picture.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

#include "renderer/gl.h"
#include "scr/start/preview_win.h"
#include "tests/common/bmp_builder.h"
#include "tests/win/child_process.h"

namespace gelmo {
namespace {

struct Host {
  HWND window;
  Host(int w, int h) {
    window = CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, 50, 50, w, h, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  }
  ~Host() {
    if (IsWindow(window)) DestroyWindow(window);
  }
};

bool IsBlack(COLORREF c) { return GetRValue(c) < 8 && GetGValue(c) < 8 && GetBValue(c) < 8; }

TEST(Preview, PictureSitsTopLeftAndTheRestIsBlack) {
  Host host(300, 200);
  PreviewForm preview;
  ASSERT_TRUE(EmbedPreview(preview, host.window));
  EXPECT_EQ(GetParent(preview.hwnd()), host.window);
  EXPECT_EQ(preview.caption(), "Preview Window");
  ASSERT_NE(preview.Img_Prev.picture(), nullptr);
  EXPECT_EQ(preview.Img_Prev.picture()->width(), 152);
  EXPECT_EQ(preview.Img_Prev.picture()->height(), 112);
  testing::PumpUntil(300, [] { return false; });

  HDC dc = GetDC(host.window);  // what the host shows
  int lit = 0;
  for (int y = 4; y < 112; y += 12)
    for (int x = 4; x < 152; x += 12) lit += !IsBlack(GetPixel(dc, x, y));
  EXPECT_GT(lit, 80) << "the picture is not drawn";
  for (int y = 0; y < 200; y += 9) EXPECT_TRUE(IsBlack(GetPixel(dc, 160 + y % 130, y))) << y;
  for (int x = 0; x < 300; x += 9) EXPECT_TRUE(IsBlack(GetPixel(dc, x, 120 + x % 70))) << x;
  ReleaseDC(host.window, dc);

  RECT r;
  GetWindowRect(preview.Img_Prev.hwnd(), &r);
  EXPECT_EQ(r.right - r.left, 300);  // the control has the host's size
  DestroyWindow(host.window);
  EXPECT_FALSE(preview.loaded());
}

TEST(Preview, SmallerHostCutsThePictureOff) {
  Host host(100, 80);
  PreviewForm preview;
  ASSERT_TRUE(EmbedPreview(preview, host.window));
  RECT r;
  GetWindowRect(preview.hwnd(), &r);
  EXPECT_EQ(r.right - r.left, 100);
  EXPECT_EQ(r.bottom - r.top, 80);
}

TEST(Preview, RefusesAHandleThatIsNoWindow) {
  PreviewForm preview;
  EXPECT_FALSE(EmbedPreview(preview, nullptr));
  EXPECT_FALSE(EmbedPreview(preview, reinterpret_cast<HWND>(0x12345678)));
  EXPECT_FALSE(preview.loaded());
}

// What the host shows at (x, y).
COLORREF HostPixel(HWND host, int x, int y) {
  HDC dc = GetDC(host);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(host, dc);
  return c;
}

// The live preview's last frame at (x, y from the top).  Wine does not show
// on screen what OpenGL draws into a child window, even one of this process,
// so the frame is read back from the preview's context (current on this
// thread), whose back buffer keeps the frame after the swap.
COLORREF FramePixel(int x, int y) {
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  unsigned char rgba[4] = {};
  glReadBuffer(GL_BACK);
  glReadPixels(x, viewport[3] - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  return RGB(rgba[0], rgba[1], rgba[2]);
}

// Pixels of the frame that differ by more than a little between two looks.
int ChangedPixels(int w, int h, DWORD apartMs) {
  std::vector<COLORREF> before;
  for (int y = 2; y < h; y += 8)
    for (int x = 2; x < w; x += 8) before.push_back(FramePixel(x, y));
  testing::PumpUntil(apartMs, [] { return false; });
  int changed = 0;
  std::size_t i = 0;
  for (int y = 2; y < h; y += 8)
    for (int x = 2; x < w; x += 8, ++i) {
      const COLORREF a = before[i], b = FramePixel(x, y);
      changed += std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
                     std::abs(GetBValue(a) - GetBValue(b)) > 24;
    }
  return changed;
}

// A plain red 64 x 48 picture file.
struct RedPicture {
  testing::ScratchFolder folder{"gelmo-preview-pictures"};
  std::string path = folder / "red.bmp";
  RedPicture() {
    testing::BmpLayout layout;
    layout.width = 64;
    layout.height = 48;
    std::vector<std::uint8_t> bytes = testing::BmpHeaders(layout);
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x) bytes.insert(bytes.end(), {0, 0, 255});
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
};

// A red sheet over a black backdrop.
SaverSettings RedOverBlack(const std::string& picture) {
  SaverSettings s;
  s.ObjKind = 1;
  s.ObjFile() = picture;
  s.BackKind = 0;
  s.BackColour = 0;
  return s;
}

bool ShowsTheFixedPicture(const PreviewForm& preview, HWND host) {
  testing::PumpUntil(300, [] { return false; });
  int lit = 0;
  for (int y = 4; y < 112; y += 12)
    for (int x = 4; x < 152; x += 12) lit += !IsBlack(HostPixel(host, x, y));
  return !preview.live() && preview.Img_Prev.visible() && lit > 80;
}

TEST(Preview, LiveSceneMovesShowsTheSheetsPictureAndKeepsToThirtyFrames) {
  RedPicture red;
  for (const SIZE size : {SIZE{152, 112}, SIZE{320, 240}}) {
    Host host(size.cx, size.cy);
    PreviewForm preview;
    ASSERT_TRUE(EmbedPreview(preview, host.window));
    const DWORD started = GetTickCount();
    ASSERT_TRUE(StartLivePreview(preview, RedOverBlack(red.path))) << size.cx;
    EXPECT_EQ(GetParent(preview.hwnd()), host.window);
    EXPECT_FALSE(preview.Img_Prev.visible());
    testing::PumpUntil(500, [] { return false; });
    EXPECT_GT(ChangedPixels(size.cx, size.cy, 1000), 20) << size.cx << ": the scene stands still";
    const COLORREF centre = FramePixel(size.cx / 2, size.cy / 2);
    EXPECT_GT(GetRValue(centre), 60) << size.cx;
    EXPECT_LT(GetGValue(centre) + GetBValue(centre), 40) << size.cx;
    testing::PumpUntil(1000, [] { return false; });
    const double seconds = (GetTickCount() - started) / 1000.0;
    EXPECT_GT(preview.framesDrawn(), 10 * seconds) << size.cx;
    EXPECT_LE(preview.framesDrawn(), 30 * seconds + 1) << size.cx;
  }
}

TEST(Preview, DrawsNothingWhileTheHostIsHiddenAndLetsGoWithIt) {
  RedPicture red;
  Host host(152, 112);
  PreviewForm preview;
  ASSERT_TRUE(EmbedPreview(preview, host.window));
  ASSERT_TRUE(StartLivePreview(preview, RedOverBlack(red.path)));
  testing::PumpUntil(300, [] { return false; });
  ShowWindow(host.window, SW_HIDE);
  testing::PumpUntil(100, [] { return false; });
  const int hidden = preview.framesDrawn();
  testing::PumpUntil(600, [] { return false; });
  EXPECT_EQ(preview.framesDrawn(), hidden);
  ShowWindow(host.window, SW_SHOWNA);
  testing::PumpUntil(600, [] { return false; });
  EXPECT_GT(preview.framesDrawn(), hidden + 5);
  DestroyWindow(host.window);
  EXPECT_FALSE(preview.live()) << "the GL context outlived its host";
  EXPECT_FALSE(preview.loaded());
}

HGLRC WINAPI RefuseContext(HDC) { return nullptr; }

TEST(Preview, FixedPictureWhereAPictureCannotBeReadOrNoContextIsGiven) {
  {
    Host host(152, 112);
    PreviewForm preview;
    ASSERT_TRUE(EmbedPreview(preview, host.window));
    EXPECT_FALSE(StartLivePreview(preview, RedOverBlack("C:\\gelmo-no-such-picture.jpg")));
    EXPECT_TRUE(ShowsTheFixedPicture(preview, host.window));
  }
  RedPicture red;
  Host host(152, 112);
  PreviewForm preview;
  preview.createContext = RefuseContext;
  ASSERT_TRUE(EmbedPreview(preview, host.window));
  EXPECT_FALSE(StartLivePreview(preview, RedOverBlack(red.path)));
  EXPECT_TRUE(ShowsTheFixedPicture(preview, host.window));
}

}  // namespace
}  // namespace gelmo
