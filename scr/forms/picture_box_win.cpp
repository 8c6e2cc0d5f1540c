// Picture boxes: a control with a persistent image that keeps whatever is
// drawn into it, and writing that image (or any rows) as a 24-bit BMP file.
#include <algorithm>

#include "scr/pictures/bmp_writer.h"
#include "scr/forms/forms_detail_win.h"
#include "scr/forms/forms_win.h"
#include "scr/forms/text_win.h"

namespace gelmo::forms {

using namespace detail;

// ---- PictureBox ------------------------------------------------------------

PictureBox::~PictureBox() { FreeImage(imageDc_, image_, oldBitmap_); }

void PictureBox::EnsureImage() {
  ResizeImage(imageDc_, image_, oldBitmap_, imageWidth_, imageHeight_, std::max(1, PixelWidth()),
              std::max(1, PixelHeight()), backColour_);
}

void PictureBox::Refresh() {
  if (hwnd()) RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
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

bool WriteBitmapFile(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rows) {
  const std::vector<std::uint8_t> file = EncodeBmp24(width, height, rows);
  if (file.empty()) return false;
  HANDLE out = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(out, file.data(), DWORD(file.size()), &written, nullptr) && written == file.size();
  return CloseHandle(out) && ok;
}

bool PictureBox::SaveImage(const std::string& path) {
  int w = 0, h = 0;
  const std::vector<std::uint8_t> rows = ImageRows(&w, &h);
  return WriteBitmapFile(path, w, h, rows);
}

}  // namespace gelmo::forms
