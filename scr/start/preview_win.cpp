#include "scr/start/preview_win.h"

#include "scr/start/resources.h"

namespace gelmo {
namespace {

std::shared_ptr<forms::Picture> PreviewPicture() {
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_PREVIEW_PICTURE), RT_RCDATA);
  HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  return bytes ? forms::LoadPictureFromMemory(bytes, SizeofResource(nullptr, found)) : nullptr;
}

}  // namespace

PreviewForm::PreviewForm() {
  SetCaption("Preview Window");
  SetBackColour(RGB(0, 0, 0));
  border = forms::Border::kNone;
  // Drawn at its own size from the top-left corner, whatever the control's size.
  Img_Prev.stretch = false;
  Img_Prev.Move(0, 0, 152 * forms::TwipsPerPixelX(), 112 * forms::TwipsPerPixelY());
  Img_Prev.SetPicture(PreviewPicture());
}

void PreviewForm::OnUnload(bool&) { PostMessageW(hwnd(), WM_CLOSE, 0, 0); }

bool EmbedPreview(PreviewForm& preview, HWND host) {
  RECT r;
  if (!IsWindow(host) || !GetWindowRect(host, &r)) return false;
  // Sizes in twips as 16-bit numbers: a product beyond 32767 leaves that size 0.
  auto twips = [](long perPixel, long pixels) {
    const long v = perPixel * pixels;
    return v >= -32768 && v <= 32767 ? int(v) : 0;
  };
  const int width = twips(forms::TwipsPerPixelX(), r.right - r.left);
  const int height = twips(forms::TwipsPerPixelY(), r.bottom - r.top);
  preview.Load();
  HWND window = preview.hwnd();
  if (!window) return false;
  // A child window of the host; the pop-up style of a borderless form goes, so
  // that the window is a child in every respect (parent, clipping, lifetime).
  SetWindowLongW(window, GWL_STYLE, (GetWindowLongW(window, GWL_STYLE) & ~WS_POPUP) | WS_CHILD);
  SetParent(window, host);
  preview.Move(0, 0, width, height);
  preview.Img_Prev.Move(0, 0, width, height);
  preview.Show();
  return true;
}

}  // namespace gelmo
