// The button control as a window: real mouse, focus and timer messages, and
// the face it leaves in its persistent image.
#include <windows.h>

#include <gtest/gtest.h>

#include "scr/button/command_win.h"
#include "scr/button/face_pictures.h"
#include "tests/win/child_process.h"

namespace gelmo {
namespace {

using testing::PumpUntil;

class CommandWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    form.border = forms::Border::kNone;
    form.Move(1500, 1500, 4500, 3000);
    button.Move(300, 300, 1635, 375);  // 109 x 25 pixels
    button.Click = [this](int index) { clicks.push_back(index); };
    form.Show();
    button.Initialize();
    button.Enabled();  // the host's first look applies a new instance's defaults
    button.SetEnabled(true);
  }
  void TearDown() override { form.Unload(); }

  COLORREF Pixel(int x, int y) {
    int w = 0, h = 0;
    const std::vector<std::uint8_t> rows = button.ImageRows(&w, &h);
    const std::uint8_t* p = &rows[std::size_t(h - 1 - y) * ((w * 3 + 3) / 4 * 4) + std::size_t(x) * 3];
    return RGB(p[2], p[1], p[0]);
  }
  // Which face picture the drawn corner shows.
  int FaceShown() {
    for (int f = 0; f < kFaceCount; ++f) {
      bool same = true;
      for (int y = 0; y < 4 && same; ++y)
        for (int x = 0; x < 4 && same; ++x) same = Pixel(x, y) == COLORREF(FacePixel(Face(f), x, y));
      if (same && Face(f) != Face::kHighLightSelect) return f;
    }
    return -1;
  }
  void Send(UINT message, WPARAM wParam = 0) { SendMessageA(button.hwnd(), message, wParam, MAKELPARAM(20, 10)); }

  forms::Form form;
  Command button{form, 2};
  std::vector<int> clicks;
};

TEST_F(CommandWindow, FaceIsAGradientInsideTheNormalRing) {
  Send(WM_SIZE);  // a redraw in the enabled look
  button.RefreshLook();
  EXPECT_EQ(FaceShown(), int(Face::kNormal));
  EXPECT_EQ(Pixel(1, 12), RGB(0x00, 0x3C, 0x74));  // the dark blue outline
  const COLORREF top = Pixel(54, 4), bottom = Pixel(54, 20);
  // light FFFFFF at one end, shade C6C5D7 at the other
  const COLORREF light = RGB(0xFF, 0xFF, 0xFF), shade = RGB(0xC6, 0xC5, 0xD7);
  auto similar = [](COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) < 12 && std::abs(GetGValue(a) - GetGValue(b)) < 12 &&
           std::abs(GetBValue(a) - GetBValue(b)) < 12;
  };
  EXPECT_TRUE((similar(top, light) && similar(bottom, shade)) || (similar(top, shade) && similar(bottom, light)))
      << std::hex << top << " " << bottom;
}

TEST_F(CommandWindow, ClickFollowsTheButtonUpRule) {
  Send(WM_MOUSEMOVE);
  EXPECT_EQ(FaceShown(), int(Face::kHighLight));
  Send(WM_LBUTTONDOWN, MK_LBUTTON);
  EXPECT_TRUE(button.MouseIsDown());
  EXPECT_EQ(FaceShown(), int(Face::kPressed));
  EXPECT_EQ(GetFocus(), button.hwnd());
  EXPECT_TRUE(clicks.empty());
  Send(WM_LBUTTONUP);
  EXPECT_EQ(clicks, std::vector<int>{2});  // the control's index
  EXPECT_FALSE(button.MouseIsDown());
  EXPECT_EQ(button.ButtonState(), 4);  // focused and hovered

  // Any button's release clicks, unless the pointer left the focused control.
  Send(WM_RBUTTONDOWN, MK_RBUTTON);
  Send(WM_RBUTTONUP);
  EXPECT_EQ(clicks.size(), 2u);
  SendMessageA(button.hwnd(), WM_TIMER, 1, 0);  // a poll with the pointer elsewhere: state 3
  Send(WM_LBUTTONDOWN, MK_LBUTTON);
  RECT r;
  GetWindowRect(button.hwnd(), &r);
  SetCursorPos(r.right + 300, r.bottom + 300);
  SendMessageA(button.hwnd(), WM_TIMER, 1, 0);
  EXPECT_EQ(button.ButtonState(), 3);
  Send(WM_LBUTTONUP);
  EXPECT_EQ(clicks.size(), 2u) << "released after leaving: no click";
}

TEST_F(CommandWindow, DisabledControlShowsItAndIgnoresInput) {
  button.SetEnabled(false);
  EXPECT_FALSE(button.Enabled());
  EXPECT_EQ(FaceShown(), int(Face::kDisable));
  EXPECT_EQ(Pixel(1, 12), RGB(0xC9, 0xC7, 0xBA));
  Send(WM_MOUSEMOVE);
  Send(WM_LBUTTONDOWN, MK_LBUTTON);
  Send(WM_LBUTTONUP);
  EXPECT_TRUE(clicks.empty());
  EXPECT_EQ(FaceShown(), int(Face::kDisable));
}

TEST_F(CommandWindow, HoverPollingNoticesThePointerLeaving) {
  RECT r;
  GetWindowRect(button.hwnd(), &r);
  SetCursorPos(r.left + 10, r.top + 10);
  Send(WM_MOUSEMOVE);
  ASSERT_EQ(FaceShown(), int(Face::kHighLight));
  SetCursorPos(r.right + 200, r.bottom + 200);  // off the form too
  EXPECT_TRUE(PumpUntil(2000, [&] { return FaceShown() == int(Face::kNormal); }))
      << "face " << FaceShown() << " state " << int(button.ButtonState());
  EXPECT_EQ(button.ButtonState(), 1);
}

TEST_F(CommandWindow, KeyboardFocusShowsTheSelectedRing) {
  SetFocus(button.hwnd());
  EXPECT_EQ(button.ButtonState(), 3);
  EXPECT_EQ(FaceShown(), int(Face::kSelected));
  SetFocus(nullptr);
  EXPECT_EQ(FaceShown(), int(Face::kNormal));
}

}  // namespace
}  // namespace gelmo
