// Picture loading through the platform's picture loader (OleLoadPicture),
// which reads BMP, JPEG, GIF and icons.
#include <ole2.h>
#include <olectl.h>

#include "scr/forms/forms_win.h"
#include "scr/forms/text_win.h"

namespace gelmo::forms {
namespace {

// The loader's picture drawn into a bitmap of our own, so that it can be
// selected into device contexts and outlives the COM object.
std::shared_ptr<Picture> FromStream(IStream* stream) {
  IPicture* loaded = nullptr;
  if (FAILED(OleLoadPicture(stream, 0, FALSE, IID_IPicture, reinterpret_cast<void**>(&loaded))) || !loaded)
    return nullptr;
  std::shared_ptr<Picture> result;
  OLE_XSIZE_HIMETRIC hmWidth = 0;
  OLE_YSIZE_HIMETRIC hmHeight = 0;
  loaded->get_Width(&hmWidth);
  loaded->get_Height(&hmHeight);
  HDC screen = GetDC(nullptr);
  // HIMETRIC is 1/100 mm: pixels = himetric * dpi / 2540
  const int w = MulDiv(hmWidth, GetDeviceCaps(screen, LOGPIXELSX), 2540);
  const int h = MulDiv(hmHeight, GetDeviceCaps(screen, LOGPIXELSY), 2540);
  if (w > 0 && h > 0) {
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    // Render takes the source rectangle upside down in HIMETRIC.
    loaded->Render(dc, 0, 0, w, h, 0, hmHeight, hmWidth, -hmHeight, nullptr);
    SelectObject(dc, old);
    DeleteDC(dc);
    if (bitmap) result = std::make_shared<Picture>(bitmap);
  }
  ReleaseDC(nullptr, screen);
  loaded->Release();
  return result;
}

std::shared_ptr<Picture> FromGlobal(HGLOBAL memory) {
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
    GlobalFree(memory);
    return nullptr;
  }
  std::shared_ptr<Picture> picture = FromStream(stream);
  stream->Release();  // frees the memory too
  return picture;
}

}  // namespace

std::shared_ptr<Picture> LoadPictureFromMemory(const void* data, std::size_t size) {
  if (!data || size == 0 || size > 0x7FFFFFFF) return nullptr;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!memory) return nullptr;
  void* bytes = GlobalLock(memory);
  CopyMemory(bytes, data, size);
  GlobalUnlock(memory);
  return FromGlobal(memory);
}

std::shared_ptr<Picture> LoadPicture(const std::string& path) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  LARGE_INTEGER size;
  std::shared_ptr<Picture> picture;
  if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < 0x40000000) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, SIZE_T(size.QuadPart));
    if (memory) {
      DWORD got = 0;
      const BOOL ok = ReadFile(file, GlobalLock(memory), DWORD(size.QuadPart), &got, nullptr);
      GlobalUnlock(memory);
      if (ok && got == size.QuadPart)
        picture = FromGlobal(memory);
      else
        GlobalFree(memory);
    }
  }
  CloseHandle(file);
  return picture;
}

}  // namespace gelmo::forms
