// What the files of the forms layer share and no caller needs: the window
// classes, the object a window belongs to, pixels from twips and the
// persistent images behind forms and picture boxes.
#pragma once

#include <windows.h>

#include "scr/forms/forms_win.h"

namespace gelmo::forms::detail {

constexpr wchar_t kControlClass[] = L"GelmoControl";

// Registers the forms' and controls' window classes, once.
void RegisterClasses();

// The form or control a window belongs to: handed over as the creation
// parameter, kept in the window's user data.
template <typename T>
T* ObjectOfWindow(HWND hwnd, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

RECT PixelRect(const RECT& twips);

// A memory bitmap of w x h pixels selected into `dc` (created when null),
// cleared to `colour`, with as much of the old bitmap's content as fits.
// `oldBitmap` keeps what the context held first, for the final clean-up.
void ResizeImage(HDC& dc, HBITMAP& image, HGDIOBJ& oldBitmap, int& width, int& height, int w, int h,
                 COLORREF colour);
void FreeImage(HDC dc, HBITMAP image, HGDIOBJ oldBitmap);

// While the application-wide pointer is not the default it covers every
// window: true when it was set.
bool SetApplicationCursor();

}  // namespace gelmo::forms::detail
