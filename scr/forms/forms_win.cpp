#include "scr/forms/forms_win.h"

#include <algorithm>

#include "scr/forms/bmp_writer.h"

namespace gelmo::forms {
namespace {

constexpr char kFormClass[] = "GelmoForm";
constexpr char kControlClass[] = "GelmoControl";
int g_loadedForms = 0;

int DeviceCaps(int index) {
  HDC screen = GetDC(nullptr);
  int value = GetDeviceCaps(screen, index);
  ReleaseDC(nullptr, screen);
  return value;
}

void RegisterClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = FormProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = kFormClass;
  RegisterClassA(&wc);
  wc.lpfnWndProc = ControlProc;
  wc.lpszClassName = kControlClass;
  RegisterClassA(&wc);
}

// The form or control a window belongs to: handed over as the creation
// parameter, kept in the window's user data.
template <typename T>
T* ObjectOfWindow(HWND hwnd, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  return reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

void FillSolid(HDC dc, const RECT* rect, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, rect, brush);
  DeleteObject(brush);
}

RECT PixelRect(const RECT& twips) {
  return {PixelsX(twips.left), PixelsY(twips.top), PixelsX(twips.right), PixelsY(twips.bottom)};
}

}  // namespace

int TwipsPerPixelX() { return 1440 / std::max(1, DeviceCaps(LOGPIXELSX)); }
int TwipsPerPixelY() { return 1440 / std::max(1, DeviceCaps(LOGPIXELSY)); }
int ScreenWidthTwips() { return GetSystemMetrics(SM_CXSCREEN) * TwipsPerPixelX(); }
int ScreenHeightTwips() { return GetSystemMetrics(SM_CYSCREEN) * TwipsPerPixelY(); }

// ---- Picture -------------------------------------------------------------

Picture::Picture(HBITMAP bitmap) : bitmap_(bitmap) {
  BITMAP info;
  if (bitmap_ && GetObjectA(bitmap_, sizeof info, &info)) {
    width_ = info.bmWidth;
    height_ = info.bmHeight;
  }
}

Picture::~Picture() {
  if (bitmap_) DeleteObject(bitmap_);
}

// ---- Form ------------------------------------------------------------------

Form::Form() = default;

Form::~Form() {
  if (hwnd_) {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
    Destroyed();
  }
}

int Form::LoadedForms() { return g_loadedForms; }

void Form::Create() {
  RegisterClasses();
  DWORD style = WS_CLIPCHILDREN;
  switch (border) {
    case Border::kNone: style |= WS_POPUP; break;
    case Border::kFixedSingle: style |= WS_CAPTION | (controlBox ? WS_SYSMENU | WS_MINIMIZEBOX : 0); break;
    case Border::kSizable: style |= WS_OVERLAPPEDWINDOW; break;
  }
  const RECT px = PixelRect(pending_);
  hwnd_ = CreateWindowExA(0, kFormClass, caption_.c_str(), style, px.left, px.top, px.right - px.left,
                          px.bottom - px.top, nullptr, nullptr, GetModuleHandleA(nullptr), this);
  if (!hwnd_) return;
  ++g_loadedForms;
  if (icon) {
    SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
  for (Control* c : controls_) c->Create();
  for (Timer* t : timers_) t->Arm();
}

void Form::Load() {
  if (hwnd_) return;
  Create();
  if (hwnd_) OnLoad();
}

void Form::Show(bool modal) {
  Load();
  if (!hwnd_) return;
  ShowWindow(hwnd_, SW_SHOW);
  UpdateWindow(hwnd_);
  if (!modal) return;
  modalDone_ = false;
  MSG msg;
  while (!modalDone_ && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void Form::Hide() {
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

bool Form::Unload(UnloadMode mode) {
  if (!hwnd_ || unloading_) return false;
  bool cancel = false;
  OnQueryUnload(cancel, mode);
  if (cancel || !hwnd_) return false;
  OnUnload(cancel);
  if (cancel || !hwnd_) return false;
  unloading_ = true;
  DestroyWindow(hwnd_);  // WM_DESTROY does the rest
  return true;
}

void Form::Destroyed() {
  for (Timer* t : timers_)
    if (t->enabled_) KillTimer(hwnd_, t->id_);
  for (Control* c : controls_) c->hwnd_ = nullptr;
  hwnd_ = nullptr;
  unloading_ = false;
  modalDone_ = true;
  if (--g_loadedForms == 0) PostQuitMessage(0);
}

void Form::Move(int left, int top, int width, int height) {
  pending_ = {left, top, left + width, top + height};
  if (hwnd_) MoveWindow(hwnd_, PixelsX(left), PixelsY(top), PixelsX(width), PixelsY(height), TRUE);
}

int Form::Left() const { return pending_.left; }
int Form::Top() const { return pending_.top; }
int Form::Width() const { return pending_.right - pending_.left; }
int Form::Height() const { return pending_.bottom - pending_.top; }

int Form::ClientWidth() const {
  RECT r = {};
  if (hwnd_) GetClientRect(hwnd_, &r);
  return r.right * TwipsPerPixelX();
}
int Form::ClientHeight() const {
  RECT r = {};
  if (hwnd_) GetClientRect(hwnd_, &r);
  return r.bottom * TwipsPerPixelY();
}

void Form::SetCaption(const std::string& caption) {
  caption_ = caption;
  if (hwnd_) SetWindowTextA(hwnd_, caption_.c_str());
}

void Form::SetBackColour(COLORREF colour) {
  backColour_ = colour;
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Form::RemoveControl(Control* control) {
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Form* form = ObjectOfWindow<Form>(hwnd, message, lParam);
  if (!form) return DefWindowProcA(hwnd, message, wParam, lParam);
  LRESULT result = 0;
  switch (message) {
    case WM_CLOSE:
      form->Unload(UnloadMode::kControlMenu);
      return 0;
    case WM_QUERYENDSESSION:
      return form->Unload(UnloadMode::kWindowsShutdown);
    case WM_DESTROY:
      // Also when the window goes from outside (a host destroying its child):
      // the form is unloaded all the same.
      if (!form->unloading_) {
        bool ignored = false;
        form->OnUnload(ignored);
      }
      form->Destroyed();
      return 0;
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(hwnd, &r);
      FillSolid(reinterpret_cast<HDC>(wParam), &r, form->backColour_);
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      form->OnPaint(dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_TIMER:
      for (Timer* t : form->timers_)
        if (t->id_ == wParam && t->enabled_ && t->onTimer) {
          t->onTimer();
          return 0;
        }
      return 0;
    default:
      if (form->OnMessage(message, wParam, lParam, &result)) return result;
      return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

int RunMessageLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

// ---- Control ---------------------------------------------------------------

Control::Control(Form& owner, int index) : index(index), owner_(owner) {
  owner_.AddControl(this);
  if (owner_.hwnd()) Create();
}

Control::~Control() {
  owner_.RemoveControl(this);
  if (hwnd_) {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

const char* Control::ClassName() const { return kControlClass; }

void Control::Create() {
  RegisterClasses();
  const RECT px = PixelRect(rect_);
  hwnd_ = CreateWindowExA(0, ClassName(), "", WS_CHILD | WS_CLIPSIBLINGS | (visible_ ? WS_VISIBLE : 0) | Style(),
                          px.left, px.top, px.right - px.left, px.bottom - px.top, owner_.hwnd(),
                          nullptr, GetModuleHandleA(nullptr), this);
  if (!hwnd_) return;
  if (ClassName() != kControlClass) {
    // A system control: keep its own procedure, remember the object.
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  }
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

bool Control::OnMessage(UINT message, WPARAM, LPARAM, LRESULT* result) {
  if (message == WM_LBUTTONUP && onClick && enabled_) {
    onClick(index);
    *result = 0;
    return true;
  }
  return false;
}

LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Control* control = ObjectOfWindow<Control>(hwnd, message, lParam);
  if (!control) return DefWindowProcA(hwnd, message, wParam, lParam);
  LRESULT result = 0;
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
    default:
      if (control->OnMessage(message, wParam, lParam, &result)) return result;
      return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

// ---- PictureBox ------------------------------------------------------------

PictureBox::~PictureBox() {
  if (imageDc_) {
    SelectObject(imageDc_, oldBitmap_);
    DeleteDC(imageDc_);
  }
  if (image_) DeleteObject(image_);
}

void PictureBox::EnsureImage() {
  const int w = std::max(1, PixelWidth()), h = std::max(1, PixelHeight());
  if (image_ && w == imageWidth_ && h == imageHeight_) return;
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  if (!imageDc_) {
    imageDc_ = CreateCompatibleDC(screen);
    oldBitmap_ = nullptr;
  }
  ReleaseDC(nullptr, screen);
  if (!bitmap) return;
  // Fill the new image with the back colour, then keep what the old one held.
  HDC fresh = CreateCompatibleDC(imageDc_);
  HGDIOBJ old = SelectObject(fresh, bitmap);
  RECT all = {0, 0, w, h};
  FillSolid(fresh, &all, backColour_);
  if (image_) BitBlt(fresh, 0, 0, std::min(w, imageWidth_), std::min(h, imageHeight_), imageDc_, 0, 0, SRCCOPY);
  SelectObject(fresh, old);
  DeleteDC(fresh);
  HGDIOBJ previous = SelectObject(imageDc_, bitmap);
  if (!oldBitmap_) oldBitmap_ = previous;
  if (image_) DeleteObject(image_);
  image_ = bitmap;
  imageWidth_ = w;
  imageHeight_ = h;
}

HDC PictureBox::hdc() {
  EnsureImage();
  return imageDc_;
}

void PictureBox::Created() { EnsureImage(); }
void PictureBox::Resized() { EnsureImage(); }

void PictureBox::Cls() {
  EnsureImage();
  RECT all = {0, 0, imageWidth_, imageHeight_};
  FillSolid(imageDc_, &all, backColour_);
  if (picture_) PaintPicture(*picture_, 0, 0, picture_->width(), picture_->height(), 0, 0, picture_->width(), picture_->height());
  Refresh();
}

void PictureBox::SetBackColour(COLORREF colour) {
  backColour_ = colour;
  Cls();
}

void PictureBox::SetPicture(std::shared_ptr<Picture> picture) {
  picture_ = std::move(picture);
  Cls();
}

void PictureBox::PaintPicture(const Picture& picture, int x, int y, int width, int height, int srcX,
                              int srcY, int srcWidth, int srcHeight) {
  EnsureImage();
  HDC source = CreateCompatibleDC(imageDc_);
  HGDIOBJ old = SelectObject(source, picture.bitmap());
  SetStretchBltMode(imageDc_, COLORONCOLOR);
  StretchBlt(imageDc_, x, y, width, height, source, srcX, srcY, srcWidth, srcHeight, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
}

void PictureBox::Paint(HDC dc) {
  EnsureImage();
  BitBlt(dc, 0, 0, imageWidth_, imageHeight_, imageDc_, 0, 0, SRCCOPY);
}

std::vector<std::uint8_t> PictureBox::ImageRows(int* width, int* height) {
  EnsureImage();
  *width = imageWidth_;
  *height = imageHeight_;
  std::vector<std::uint8_t> rows(std::size_t(Bmp24RowBytes(imageWidth_)) * imageHeight_);
  BITMAPINFO info = Dib24Info(imageWidth_, imageHeight_);
  // GetDIBits wants the bitmap deselected.
  HGDIOBJ held = SelectObject(imageDc_, oldBitmap_);
  int got = GetDIBits(imageDc_, image_, 0, imageHeight_, rows.data(), &info, DIB_RGB_COLORS);
  SelectObject(imageDc_, held);
  if (got != imageHeight_) rows.clear();
  return rows;
}

bool PictureBox::SaveImage(const std::string& path) {
  int w = 0, h = 0;
  const std::vector<std::uint8_t> rows = ImageRows(&w, &h);
  const std::vector<std::uint8_t> file = EncodeBmp24(w, h, rows);
  if (file.empty()) return false;
  HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(out, file.data(), DWORD(file.size()), &written, nullptr) && written == file.size();
  return CloseHandle(out) && ok;
}

// ---- Image, Label, ComboBox, Shape ----------------------------------------------

void Image::SetPicture(std::shared_ptr<Picture> picture) {
  picture_ = std::move(picture);
  Refresh();
}

void Image::Paint(HDC dc) {
  RECT r;
  GetClientRect(hwnd(), &r);
  // Where the picture does not reach, the form's background shows.
  FillSolid(dc, &r, owner().backColour());
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

void Label::SetCaption(const std::string& caption) {
  caption_ = caption;
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

void Label::SetFont(const char* face, int points, bool bold, bool underline) {
  if (font_) DeleteObject(font_);
  HDC screen = GetDC(nullptr);
  const int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  font_ = CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline, FALSE, SHIFTJIS_CHARSET,
                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
  Refresh();
}

void Label::Paint(HDC dc) {
  RECT r;
  GetClientRect(hwnd(), &r);
  // A transparent label shows the form's background colour beneath it.
  FillSolid(dc, &r, transparent ? owner().backColour() : backColour_);
  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ oldFont = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  SetTextColor(dc, enabled() ? foreColour_ : GetSysColor(COLOR_GRAYTEXT));
  DrawTextA(dc, caption_.c_str(), int(caption_.size()), &r, alignment | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, oldFont);
}

void ComboBox::Created() {
  for (const std::string& item : pending_) SendMessageA(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  SetWindowTextA(hwnd(), pendingText_.c_str());
}

void ComboBox::AddItem(const std::string& item) {
  pending_.push_back(item);
  if (hwnd()) SendMessageA(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

void ComboBox::Clear() {
  pending_.clear();
  if (hwnd()) SendMessageA(hwnd(), CB_RESETCONTENT, 0, 0);
}

int ComboBox::ListCount() const { return int(pending_.size()); }
std::string ComboBox::Item(int i) const { return i >= 0 && i < ListCount() ? pending_[i] : std::string(); }

void ComboBox::SetText(const std::string& text) {
  pendingText_ = text;
  if (hwnd()) SetWindowTextA(hwnd(), text.c_str());
}

std::string ComboBox::Text() const {
  if (!hwnd()) return pendingText_;
  char buffer[1024] = {};
  GetWindowTextA(hwnd(), buffer, sizeof buffer);
  return buffer;
}

void Shape::Paint(HDC dc) {
  RECT r;
  GetClientRect(hwnd(), &r);
  FillSolid(dc, &r, filled ? fillColour : owner().backColour());
  HBRUSH edge = CreateSolidBrush(borderColour);
  FrameRect(dc, &r, edge);
  DeleteObject(edge);
}

// ---- Timer -----------------------------------------------------------------

Timer::Timer(Form& owner, UINT intervalMs, bool enabled)
    : owner_(owner), interval_(intervalMs), enabled_(enabled), id_(reinterpret_cast<UINT_PTR>(this)) {
  owner_.timers_.push_back(this);
  Arm();
}

Timer::~Timer() {
  if (owner_.hwnd()) KillTimer(owner_.hwnd(), id_);
  auto& timers = owner_.timers_;
  timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
}

void Timer::Arm() {
  if (!owner_.hwnd()) return;
  // An interval of 0 means no events, as with an off timer.
  if (enabled_ && interval_ > 0)
    SetTimer(owner_.hwnd(), id_, interval_, nullptr);
  else
    KillTimer(owner_.hwnd(), id_);
}

void Timer::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Arm();
}

void Timer::SetInterval(UINT intervalMs) {
  interval_ = intervalMs;
  Arm();
}

}  // namespace gelmo::forms
