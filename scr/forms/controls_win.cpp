// The controls of the forms: child windows of one class (GelmoControl) that
// paint themselves, and the platform's combo box.
#include <algorithm>
#include <iterator>

#include "scr/forms/forms_detail_win.h"
#include "scr/forms/forms_win.h"
#include "scr/forms/text_win.h"

namespace gelmo::forms {

using namespace detail;

// ---- Control ---------------------------------------------------------------

Control::Control(Form& owner, int index) : index(index), owner_(owner) {
  owner_.AddControl(this);
  if (owner_.hwnd()) Create();
}

Control::~Control() {
  owner_.RemoveControl(this);
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

const wchar_t* Control::ClassName() const { return kControlClass; }

void Control::SetContainer(PictureBox* container) {
  container_ = container;
  if (container_) container_->holdsControls_ = true;
}

void Control::Create() {
  RegisterClasses();
  const RECT px = PixelRect(rect_);
  HWND parent = container_ && container_->hwnd() ? container_->hwnd() : owner_.hwnd();
  // A container passes the keyboard on to the controls in it.
  hwnd_ = CreateWindowExW(holdsControls_ ? WS_EX_CONTROLPARENT : 0, ClassName(), Wide(text_).c_str(), WS_CHILD | WS_CLIPSIBLINGS | (visible_ ? WS_VISIBLE : 0) | Style(),
                          px.left, px.top, px.right - px.left, px.bottom - px.top, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), GetModuleHandleW(nullptr), this);
  if (!hwnd_) return;
  if (ClassName() != kControlClass) {
    // A system control: keep its own procedure, remember the object.
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  }
  // A control placed later stands in front of those placed before it.
  SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EnableWindow(hwnd_, enabled_);
  Created();
}

void Control::Move(int left, int top, int width, int height) {
  rect_ = {left, top, left + width, top + height};
  if (hwnd_) {
    const RECT px = PixelRect(rect_);
    MoveWindow(hwnd_, px.left, px.top, px.right - px.left, px.bottom - px.top, TRUE);
  }
  Resized();
}

void Control::SetVisible(bool visible) {
  visible_ = visible;
  if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

void Control::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (hwnd_) {
    EnableWindow(hwnd_, enabled);
    InvalidateRect(hwnd_, nullptr, TRUE);
  }
}

void Control::Refresh() {
  if (hwnd_) {
    InvalidateRect(hwnd_, nullptr, TRUE);
    UpdateWindow(hwnd_);
  }
}

void Control::PaintBackground(HDC dc) {
  RECT r;
  GetClientRect(hwnd_, &r);
  HDC behind = container_ ? container_->hdc() : owner_.hasImage() ? owner_.hdc() : nullptr;
  if (behind) {
    const RECT px = PixelRect(rect_);
    BitBlt(dc, 0, 0, r.right, r.bottom, behind, px.left, px.top, SRCCOPY);
  } else {
    FillSolid(dc, &r, owner_.backColour());
  }
}

bool Control::OnMessage(UINT message, WPARAM, LPARAM, LRESULT* result) {
  if (message == WM_LBUTTONUP && onClick && enabled_) {
    Press();
    *result = 0;
    return true;
  }
  return false;
}

LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Control* control = ObjectOfWindow<Control>(hwnd, message, lParam);
  if (!control) return DefWindowProcW(hwnd, message, wParam, lParam);
  LRESULT result = 0;
  switch (message) {
    case WM_SETFOCUS:
      control->hasFocus_ = true;
      if (control->role == Role::kPushButton) control->owner_.PushButtonFocused(control);
      break;
    case WM_KILLFOCUS: {
      control->hasFocus_ = false;
      control->spaceDown_ = false;
      // Enter goes back to the default button unless another push button takes the focus.
      HWND next = reinterpret_cast<HWND>(wParam);
      const bool toPushButton = next && (SendMessageW(next, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON));
      if (control->role == Role::kPushButton && !toPushButton) control->owner_.PushButtonFocused(nullptr);
      break;
    }
    default:
      break;
  }
  if (control->OnMessage(message, wParam, lParam, &result)) return result;
  if (control->RoleMessage(message, wParam, lParam, &result)) return result;
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // Paint covers the whole control
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      control->Paint(dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_DESTROY:
      control->hwnd_ = nullptr;
      return 0;
    case WM_SETCURSOR:
      if (SetApplicationCursor()) return TRUE;
      if (control->cursor && LOWORD(lParam) == HTCLIENT) {
        SetCursor(control->cursor);
        return TRUE;
      }
      return DefWindowProcW(hwnd, message, wParam, lParam);
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

// ---- Image, Label, ComboBox, Shape ----------------------------------------------

void Image::SetPicture(std::shared_ptr<Picture> picture) {
  picture_ = std::move(picture);
  Refresh();
}

void Image::Paint(HDC dc) {
  RECT r;
  GetClientRect(hwnd(), &r);
  PaintBackground(dc);
  if (!picture_ || !picture_->bitmap()) return;
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, picture_->bitmap());
  if (stretch) {
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, 0, 0, r.right, r.bottom, source, 0, 0, picture_->width(), picture_->height(), SRCCOPY);
  } else {
    BitBlt(dc, 0, 0, picture_->width(), picture_->height(), source, 0, 0, SRCCOPY);
  }
  SelectObject(source, old);
  DeleteDC(source);
}

Label::~Label() {
  if (font_) DeleteObject(font_);
}

// The caption is also the window's text, for whoever reads windows (a screen
// reader, a test).
void Label::SetCaption(const std::string& caption) {
  caption_ = caption;
  SetText(caption_);
  Refresh();
}

void Label::SetForeColour(COLORREF colour) {
  foreColour_ = colour;
  Refresh();
}
void Label::SetBackColour(COLORREF colour) {
  backColour_ = colour;
  Refresh();
}

void Label::SetFont(const char* face, double points, bool bold, bool underline) {
  if (font_) DeleteObject(font_);
  font_ = CreatePointFont(face, points, bold, underline);
  Refresh();
}

void Label::Paint(HDC dc) {
  RECT r;
  GetClientRect(hwnd(), &r);
  if (transparent)
    PaintBackground(dc);
  else
    FillSolid(dc, &r, backColour_);
  if (border) {
    DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    InflateRect(&r, -1, 0);
  }
  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ oldFont = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  SetTextColor(dc, enabled() ? foreColour_ : GetSysColor(COLOR_GRAYTEXT));
  const std::wstring text = Wide(caption_);
  DrawTextW(dc, text.c_str(), int(text.size()), &r, alignment | DT_WORDBREAK | DT_NOPREFIX);
  if (focused() && ShowsFocus()) {
    // Around the text, as a check box or an option shows its focus.
    RECT bounds = r;
    DrawTextW(dc, text.c_str(), int(text.size()), &bounds, alignment | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    InflateRect(&bounds, 1, 0);
    IntersectRect(&bounds, &bounds, &r);
    DrawFocusRect(dc, &bounds);
  }
  SelectObject(dc, oldFont);
}

ComboBox::~ComboBox() {
  if (font_) DeleteObject(font_);
}

void ComboBox::SetFont(const char* face, double points) {
  if (font_) DeleteObject(font_);
  font_ = CreatePointFont(face, points);
  if (hwnd()) SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
}

void ComboBox::Created() {
  if (font_) SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  for (const std::string& item : pending_)
    SendMessageW(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
  SetWindowTextW(hwnd(), Wide(pendingText_).c_str());
}

void ComboBox::AddItem(const std::string& item) {
  pending_.push_back(item);
  if (hwnd()) SendMessageW(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
}

void ComboBox::Clear() {
  pending_.clear();
  if (hwnd()) SendMessageW(hwnd(), CB_RESETCONTENT, 0, 0);
}

int ComboBox::ListCount() const { return int(pending_.size()); }
std::string ComboBox::Item(int i) const { return i >= 0 && i < ListCount() ? pending_[i] : std::string(); }

void ComboBox::SetText(const std::string& text) {
  pendingText_ = text;
  if (hwnd()) SetWindowTextW(hwnd(), Wide(text).c_str());
}

std::string ComboBox::Text() const {
  if (!hwnd()) return pendingText_;
  wchar_t buffer[1024] = {};
  const int length = GetWindowTextW(hwnd(), buffer, int(std::size(buffer)));
  return Narrow(std::wstring_view(buffer, std::size_t(std::max(length, 0))));
}

void Shape::Created() { SetWindowPos(hwnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE); }

void Shape::Paint(HDC dc) {
  RECT r;
  GetClientRect(hwnd(), &r);
  FillSolid(dc, &r, filled ? fillColour : owner().backColour());
  HBRUSH edge = CreateSolidBrush(borderColour);
  FrameRect(dc, &r, edge);
  DeleteObject(edge);
}

}  // namespace gelmo::forms
