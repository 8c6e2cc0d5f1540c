// The picture pipeline on the platform: picture files of any format the
// system's imaging component decodes, read upright and reduced as they are
// decoded, screen captures, the folders' picture files, and the hand-off
// bitmaps written from a picture.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "scr/forms/forms_win.h"

namespace gelmo::pictures {

using forms::Picture;

// The longest side of a picture the program holds: more than a screen shows
// of it, and what the renderer's textures take.
constexpr int kLongestPictureSide = 2048;

// How a picture is loaded: pixels with alpha are laid over the back colour of
// the box that shows it, and a picture longer than `longestSide` is reduced
// to it once, keeping its shape.
struct PictureLoad {
  COLORREF background = RGB(0, 0, 0);
  int longestSide = kLongestPictureSide;
};

// Held by a thread that loads pictures beside the window thread, for as long
// as it does: at its end the thread's imaging factory and COM are released.
class PictureThread {
 public:
  PictureThread() = default;
  ~PictureThread();
  PictureThread(const PictureThread&) = delete;
  PictureThread& operator=(const PictureThread&) = delete;
};

// Loads a picture file of any format the system decodes (its first frame or
// page), upright by its orientation tag; null when it cannot, and the caller
// then changes nothing.
std::shared_ptr<Picture> LoadPicture(const std::string& path, const PictureLoad& how = {});
// The same from picture bytes held in memory (a resource, for instance).
std::shared_ptr<Picture> LoadPictureFromMemory(const void* data, std::size_t size, const PictureLoad& how = {});
// The pixels of `source` from its top-left corner, reduced as a loaded picture is.
std::shared_ptr<Picture> CapturePicture(HDC source, int width, int height, int longestSide);
// The file extensions of every installed picture decoder, one text a decoder
// as it gives them (".jpeg,.jpe,.jpg,.jfif,.exif"); empty where there is none.
std::vector<std::string> PictureFileExtensions();
// The picture's pixels as a hand-off bitmap holds them: height rows of width
// blue-green-red pixels, bottom row first, each padded to 4 bytes; empty
// when they cannot be read.
std::vector<std::uint8_t> PictureRows(const Picture& picture);
// Writes the picture at its own size as a 24-bit BMP file (the hand-off
// bitmap format); false when it cannot.
bool SavePictureAsBitmap(const Picture& picture, const std::string& path);
// Every file of the folder and of the folders in it whose extension is one of
// `extensions` (PictureExtensionsOf the decoders' lists, taken on the window
// thread, where the imaging factory lives), hidden and system files and
// folders left out, handed to
// `found` as it is met (a folder's own files before its folders'); stops when
// `found` answers false or after `limit` files.  A name code page 932 cannot
// hold comes out in its short (8.3) form, and is left out where the volume
// keeps none.
void ListFiles(const std::string& folder, const std::vector<std::string>& extensions, std::size_t limit,
                      const std::function<bool(const std::string&)>& found);
// The first picture of the folder (or of a folder in it) that can be read,
// among its first `limit` picture files; null when there is none.
std::shared_ptr<Picture> FirstPictureIn(const std::string& folder, std::size_t limit, const PictureLoad& how);

}  // namespace gelmo::pictures
