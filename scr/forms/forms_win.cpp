#include "scr/forms/forms_win.h"

#include <algorithm>
#include <iterator>

#include "scr/forms/forms_detail_win.h"
#include "scr/forms/text_win.h"

namespace gelmo::forms {
namespace {

constexpr wchar_t kFormClass[] = L"GelmoForm";
constexpr wchar_t kOwnDcFormClass[] = L"GelmoFormOwnDC";
int g_loadedForms = 0;
MousePointer g_mousePointer = MousePointer::kDefault;

int DeviceCaps(int index) {
  HDC screen = GetDC(nullptr);
  int value = GetDeviceCaps(screen, index);
  ReleaseDC(nullptr, screen);
  return value;
}

}  // namespace

namespace detail {

void RegisterClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  WNDCLASSW wc = {};
  wc.lpfnWndProc = FormProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = kFormClass;
  RegisterClassW(&wc);
  wc.style = CS_OWNDC;
  wc.lpszClassName = kOwnDcFormClass;
  RegisterClassW(&wc);
  wc.style = 0;
  wc.lpfnWndProc = ControlProc;
  wc.lpszClassName = kControlClass;
  RegisterClassW(&wc);
}

RECT PixelRect(const RECT& twips) {
  return {PixelsX(twips.left), PixelsY(twips.top), PixelsX(twips.right), PixelsY(twips.bottom)};
}

void ResizeImage(HDC& dc, HBITMAP& image, HGDIOBJ& oldBitmap, int& width, int& height, int w, int h,
                 COLORREF colour) {
  if (image && w == width && h == height) return;
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  if (!dc) {
    dc = CreateCompatibleDC(screen);
    oldBitmap = nullptr;
  }
  ReleaseDC(nullptr, screen);
  if (!bitmap) return;
  HDC fresh = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(fresh, bitmap);
  RECT all = {0, 0, w, h};
  FillSolid(fresh, &all, colour);
  if (image) BitBlt(fresh, 0, 0, std::min(w, width), std::min(h, height), dc, 0, 0, SRCCOPY);
  SelectObject(fresh, old);
  DeleteDC(fresh);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  if (!oldBitmap) oldBitmap = previous;
  if (image) DeleteObject(image);
  image = bitmap;
  width = w;
  height = h;
}

void FreeImage(HDC dc, HBITMAP image, HGDIOBJ oldBitmap) {
  if (dc) {
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
  }
  if (image) DeleteObject(image);
}

bool SetApplicationCursor() {
  if (g_mousePointer == MousePointer::kDefault) return false;
  SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  return true;
}

}  // namespace detail

using namespace detail;

int TwipsPerPixelX() { return 1440 / std::max(1, DeviceCaps(LOGPIXELSX)); }
int TwipsPerPixelY() { return 1440 / std::max(1, DeviceCaps(LOGPIXELSY)); }
int ScreenWidthTwips() { return GetSystemMetrics(SM_CXSCREEN) * TwipsPerPixelX(); }
int ScreenHeightTwips() { return GetSystemMetrics(SM_CYSCREEN) * TwipsPerPixelY(); }

void FillSolid(HDC dc, const RECT* rect, COLORREF colour) {
  if ((colour & 0xFFFFFF00u) == 0x80000000u) colour = GetSysColor(int(colour & 0xFF));
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, rect, brush);
  DeleteObject(brush);
}

bool AcceptedColour(std::int32_t value, COLORREF* colour) {
  const std::uint32_t v = static_cast<std::uint32_t>(value);
  if (v <= 0x00FFFFFF) {
    *colour = v;
    return true;
  }
  if ((v & 0xFFFFFF00u) == 0x80000000u && (v & 0xFF) <= COLOR_MENUBAR) {
    *colour = GetSysColor(int(v & 0xFF));
    return true;
  }
  return false;
}

HFONT CreatePointFont(const char* face, double points, bool bold, bool underline) {
  HDC screen = GetDC(nullptr);
  const int height = -int(points * GetDeviceCaps(screen, LOGPIXELSY) / 72.0 + 0.5);
  ReleaseDC(nullptr, screen);
  return CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline, FALSE, SHIFTJIS_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, Wide(face).c_str());
}

void SetMousePointer(MousePointer pointer) {
  g_mousePointer = pointer;
  if (SetApplicationCursor()) return;
  // Back to the default: the window under the mouse picks its own cursor now,
  // not only when the mouse next moves.
  POINT p;
  HWND under = GetCursorPos(&p) ? WindowFromPoint(p) : nullptr;
  if (under && GetWindowThreadProcessId(under, nullptr) == GetCurrentThreadId()) {
    const LRESULT hit = SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(hit, WM_MOUSEMOVE));
  } else {
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  }
}

MousePointer GetMousePointer() { return g_mousePointer; }

// ---- Picture -------------------------------------------------------------

Picture::Picture(HBITMAP bitmap) : bitmap_(bitmap) {
  BITMAP info;
  if (bitmap_ && GetObjectW(bitmap_, sizeof info, &info)) {
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
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
    Destroyed();
  }
  FreeImage(imageDc_, image_, oldBitmap_);
}

int Form::LoadedForms() { return g_loadedForms; }

void Form::Create() {
  RegisterClasses();
  DWORD style = WS_CLIPCHILDREN;
  switch (border) {
    case Border::kNone: style |= WS_POPUP; break;
    case Border::kFixedSingle: style |= WS_CAPTION | (controlBox ? WS_SYSMENU : 0) | (minButton ? WS_MINIMIZEBOX : 0); break;
    case Border::kSizable: style |= WS_OVERLAPPEDWINDOW; break;
  }
  const RECT px = PixelRect(pending_);
  hwnd_ = CreateWindowExW(0, ownDeviceContext ? kOwnDcFormClass : kFormClass, Wide(caption_).c_str(), style, px.left, px.top, px.right - px.left,
                          px.bottom - px.top, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  if (!hwnd_) return;
  ++g_loadedForms;
  if (icon) {
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
  for (Control* c : controls_) c->Create();
  ApplyTabOrder();
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
  if (clientSize_.cx < 0) {
    RECT r;
    GetClientRect(hwnd_, &r);
    Resized(r.right, r.bottom);
  }
  // The focus cues follow the system's setting until the keyboard is used.
  if (dialogKeys) SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);
  ShowWindow(hwnd_, SW_SHOW);
  // Activated, the form gives its first control the focus (WM_ACTIVATE); a
  // form shown without being activated does it here.
  if (dialogKeys && !IsChild(hwnd_, GetFocus())) FocusFirstControl();
  UpdateWindow(hwnd_);
  if (!modal) return;
  modalDone_ = false;
  MSG msg;
  while (!modalDone_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (DialogKeys(&msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
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

void Form::SetClientSize(int width, int height) {
  RECT r = {0, 0, PixelsX(width), PixelsY(height)};
  const DWORD style = hwnd_ ? DWORD(GetWindowLongW(hwnd_, GWL_STYLE))
                      : border == Border::kNone ? WS_POPUP
                                                : WS_CAPTION;
  AdjustWindowRectEx(&r, style, FALSE, 0);
  Move(Left(), Top(), (r.right - r.left) * TwipsPerPixelX(), (r.bottom - r.top) * TwipsPerPixelY());
}

void Form::EnsureImage() {
  RECT r = {};
  if (hwnd_) GetClientRect(hwnd_, &r);
  ResizeImage(imageDc_, image_, oldBitmap_, imageWidth_, imageHeight_, std::max<int>(1, r.right),
              std::max<int>(1, r.bottom), backColour_);
}

HDC Form::hdc() {
  EnsureImage();
  return imageDc_;
}

void Form::Refresh() {
  if (hwnd_) RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void Form::Resized(int width, int height) {
  if (width == clientSize_.cx && height == clientSize_.cy) return;
  clientSize_ = {width, height};
  if (imageDc_) EnsureImage();
  OnResize();
}

void Form::SetCaption(const std::string& caption) {
  caption_ = caption;
  if (hwnd_) SetWindowTextW(hwnd_, Wide(caption_).c_str());
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
  if (!form) return DefWindowProcW(hwnd, message, wParam, lParam);
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
      HDC dc = reinterpret_cast<HDC>(wParam);
      if (form->imageDc_)
        BitBlt(dc, 0, 0, r.right, r.bottom, form->imageDc_, 0, 0, SRCCOPY);
      else
        FillSolid(dc, &r, form->backColour_);
      return 1;
    }
    case WM_SIZE:
      // Not while the window is being created: the form sees its first size
      // when it is moved in its load or, at the latest, before it is shown.
      if (wParam != SIZE_MINIMIZED && form->hwnd_ == hwnd) form->Resized(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_SETCURSOR:
      if (SetApplicationCursor()) return TRUE;
      return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      form->OnPaint(dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ACTIVATE:
      if (!form->dialogKeys) break;
      // The focus leaves with the form and comes back to where it was (after
      // a chooser, another program), as in a dialog box.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd, focus)) form->lastFocus_ = focus;
      } else if (!HIWORD(wParam)) {
        if (form->lastFocus_ && IsWindow(form->lastFocus_) && IsChild(hwnd, form->lastFocus_) &&
            IsWindowEnabled(form->lastFocus_))
          SetFocus(form->lastFocus_);
        else
          form->FocusFirstControl();
      }
      return 0;
    case DM_GETDEFID:
      if (!form->dialogKeys || !form->currentDefault()) break;
      return MAKELRESULT(form->currentDefault()->id(), DC_HASDEFID);
    case WM_NEXTDLGCTL:
      if (!form->dialogKeys) break;
      if (LOWORD(lParam))
        SetFocus(reinterpret_cast<HWND>(wParam));
      else if (HWND next = GetNextDlgTabItem(hwnd, GetFocus(), wParam != 0))
        SetFocus(next);
      return 0;
    case WM_COMMAND:
      if (form->dialogKeys && form->KeyCommand(wParam)) return 0;
      break;
    case WM_TIMER:
      for (Timer* t : form->timers_)
        if (t->id_ == wParam && t->enabled_ && t->onTimer) {
          t->onTimer();
          return 0;
        }
      return 0;
    default:
      break;
  }
  if (form->OnMessage(message, wParam, lParam, &result)) return result;
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

int RunMessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (DialogKeys(&msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
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
