#include "scr/button/command_win.h"

#include <algorithm>

#include "scr/button/face_layout.h"
#include "scr/button/face_pictures.h"
#include "scr/forms/text_win.h"

namespace gelmo {
namespace {

constexpr UINT_PTR kHoverTimerId = 1;

HBITMAP FaceBitmap(Face face) {
  const std::vector<std::uint8_t> rows = FaceRows24(face);
  BITMAPINFO info = forms::Dib24Info(kFaceWidthPx, kFaceHeightPx);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap && bits) std::copy(rows.begin(), rows.end(), static_cast<std::uint8_t*>(bits));
  return bitmap;
}

}  // namespace

Command::Command(forms::Form& owner, int index) : PictureBox(owner, index) {
  role = forms::Role::kPushButton;
  for (int i = 0; i < kFaceCount; ++i) faces_[i] = FaceBitmap(static_cast<Face>(i));
  Move(0, 0, 1635, 375);
}

Command::~Command() {
  for (HBITMAP face : faces_)
    if (face) DeleteObject(face);
}

void Command::Created() {
  PictureBox::Created();
  forms::Control::SetEnabled(control_.button.Enabled() != 0);
  if (hoverTimer_) SetTimer(hwnd(), kHoverTimerId, kHoverIntervalMs, nullptr);
}

void Command::Resized() {
  PictureBox::Resized();
  Apply(control_.button.Resized());
}

void Command::Initialize() { Apply(control_.button.Initialize()); }

void Command::SetEnabled(bool enabled) { Apply(control_.SetEnabled(enabled)); }

bool Command::Enabled() {
  ButtonEffect effect;
  const bool enabled = control_.GetEnabled(effect) != 0;
  Apply(effect);
  return enabled;
}

void Command::SetCaption(const std::string& caption) {
  control_.SetCaption(caption);
  SetText(caption);
  Refresh();
}

void Command::Press() {
  if (control_.button.Enabled() && Click) Click(index);
}

void Command::DefaultChanged() { Apply(control_.button.SetDefault(owner().currentDefault() == this)); }

void Command::SetFontColour(std::int32_t colour) { Apply(control_.SetFontColour(colour)); }
void Command::RefreshLook() { Apply(control_.RefreshLook()); }
void Command::ReadProperties(PropertyStore& store) { Apply(control_.ReadProperties(store)); }
void Command::WriteProperties(PropertyStore& store) { Apply(control_.WriteProperties(store)); }

void Command::Apply(const ButtonEffect& effect) {
  control_.Apply(effect);
  // The window is disabled with the control, so that the keyboard passes it by.
  if (enabled() != (control_.button.Enabled() != 0)) forms::Control::SetEnabled(control_.button.Enabled() != 0);
  if (effect.face) DrawFace(*effect.face, effect.reverseGradient);
  if (effect.startHoverTimer) {
    hoverTimer_ = true;
    if (hwnd()) SetTimer(hwnd(), kHoverTimerId, kHoverIntervalMs, nullptr);
  }
  // Last: the host may close its form in the handler.
  if (effect.click && Click) Click(index);
}

void Command::DrawFace(Face face, bool reverse) {
  lastFace_ = face;
  lastReverse_ = reverse;
  HDC dc = hdc();
  const int w = PixelWidth(), h = PixelHeight();
  const FaceGradient g = MakeFaceGradient(reverse, w, h);
  TRIVERTEX vertices[2];
  for (int i = 0; i < 2; ++i)
    vertices[i] = {g.vertex[i].x, g.vertex[i].y, g.vertex[i].red, g.vertex[i].green, g.vertex[i].blue, g.vertex[i].alpha};
  GRADIENT_RECT mesh = {g.upperLeft, g.lowerRight};
  GradientFill(dc, vertices, 2, &mesh, 1, GRADIENT_FILL_RECT_V);

  // The picture's border ring in eight pieces: corners as they are, edges stretched.
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, faces_[static_cast<int>(face)]);
  SetStretchBltMode(dc, COLORONCOLOR);
  for (const FacePiece& piece : FacePiecesPixels(w, h)) {
    if (piece.destination.width <= 0 || piece.destination.height <= 0) continue;
    StretchBlt(dc, piece.destination.x, piece.destination.y, piece.destination.width, piece.destination.height,
               source, piece.source.x, piece.source.y, piece.source.width, piece.source.height, SRCCOPY);
  }
  SelectObject(source, old);
  DeleteDC(source);
  DrawCaption(dc);
  if (focused() && ShowsFocus()) {
    RECT inside = {kFaceCornerPx, kFaceCornerPx - 1, w - kFaceCornerPx, h - kFaceCornerPx + 1};
    DrawFocusRect(dc, &inside);
  }
  Refresh();
}

void Command::DrawCaption(HDC dc) {
  const CaptionPlacement place = PlaceCaption(float(Width()), float(Height()));
  RECT r = {forms::PixelsX(int(place.left)), forms::PixelsY(int(place.top)),
            forms::PixelsX(int(place.left + place.width)),
            forms::PixelsY(int(place.top + kCaptionLabelHeightTwips))};
  const FontRef font = control_.GetFont();
  HDC screen = GetDC(nullptr);
  const int height = -MulDiv(int(font ? font->points * 100 : 975), GetDeviceCaps(screen, LOGPIXELSY), 7200);
  ReleaseDC(nullptr, screen);
  HFONT hfont = CreateFontW(height, 0, 0, 0, font && font->bold ? FW_BOLD : (font ? font->weight : FW_NORMAL),
                            font && font->italic, font && font->underline, font && font->strikethrough,
                            font ? BYTE(font->charset) : SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH, forms::Wide(font ? font->face : "").c_str());
  HGDIOBJ oldFont = SelectObject(dc, hfont);
  SetBkMode(dc, TRANSPARENT);
  // A disabled label draws its text greyed.
  SetTextColor(dc, control_.labelEnabled ? COLORREF(control_.textColour) : GetSysColor(COLOR_GRAYTEXT));
  const std::wstring text = forms::Wide(control_.GetCaption());
  DrawTextW(dc, text.c_str(), int(text.size()), &r, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, oldFont);
  DeleteObject(hfont);
}

bool Command::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  *result = 0;
  auto button = [message] {
    switch (message) {
      case WM_LBUTTONDOWN: case WM_LBUTTONUP: return kLeftButton;
      case WM_RBUTTONDOWN: case WM_RBUTTONUP: return kRightButton;
      default: return kMiddleButton;
    }
  };
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      // The control takes the focus when clicked, before it sees the press,
      // and keeps the mouse until the button comes up.
      if (control_.button.Enabled() && GetFocus() != hwnd()) SetFocus(hwnd());
      SetCapture(hwnd());
      capturing_ = true;
      Apply(control_.button.MouseDown(button()));
      return true;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      if (capturing_) {
        capturing_ = false;
        ReleaseCapture();
      }
      Apply(control_.button.MouseUp(button()));
      return true;
    case WM_MOUSEMOVE:
      Apply(control_.button.MouseMove());
      return true;
    case WM_SETFOCUS:
      Apply(control_.button.FocusGot());
      return true;
    case WM_KILLFOCUS:
      Apply(control_.button.FocusLost());
      return true;
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (wParam != VK_SPACE) return false;
      Apply(message == WM_KEYDOWN ? control_.button.KeyDown() : control_.button.KeyUp());
      return true;
    case WM_UPDATEUISTATE:
      *result = DefWindowProcW(hwnd(), message, wParam, lParam);
      DrawFace(lastFace_, lastReverse_);
      return true;
    case WM_TIMER: {
      if (wParam != kHoverTimerId) return false;
      POINT p;
      GetCursorPos(&p);
      HWND under = WindowFromPoint(p);
      const HoverTarget target = under == hwnd()           ? HoverTarget::kControl
                                 : under == owner().hwnd() ? HoverTarget::kParentForm
                                                           : HoverTarget::kOther;
      Apply(control_.button.HoverPoll(target));
      return true;
    }
    default:
      return false;
  }
}

}  // namespace gelmo
