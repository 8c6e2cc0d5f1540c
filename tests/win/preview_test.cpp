// The preview window drawn in a host window of this process: the picture at
// its own size from the top-left corner, black beyond it, cut at the edges.
#include <windows.h>

#include <gtest/gtest.h>

#include "scr/start/preview_win.h"
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

}  // namespace
}  // namespace gelmo
