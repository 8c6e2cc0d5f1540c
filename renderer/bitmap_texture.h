// One mipmapped GL texture made from a hand-off bitmap.
#pragma once

#include <cstdint>

#include "renderer/bmp_reader.h"

namespace gelmo {

class BitmapTexture {
 public:
  BitmapTexture() = default;
  ~BitmapTexture() { Release(); }
  BitmapTexture(const BitmapTexture&) = delete;
  BitmapTexture& operator=(const BitmapTexture&) = delete;

  // Deletes any texture held before, then makes a fresh empty one, named after
  // the path, with repeat wrapping and mipmapped filtering, and binds it.
  bool Create(const char* path);
  // Binds the texture; only meaningful while the object holds one.
  void Bind() const;
  // Deletes the texture, if any.
  void Release();
  // Create, then read the file and build the whole mipmap chain from it.  False
  // when the file is missing or refused: the texture keeps its name but no
  // image, so the surface using it is drawn untextured.
  bool LoadBitmap(const char* path);
  // Create under `name`, then build the whole mipmap chain from a picture
  // already in memory (rows as a hand-off bitmap holds them).
  void LoadPixels(const char* name, const BmpImage& image);

  // The path the texture was last made for, truncated to 63 characters.
  char name[64] = {};
  // 0 when no texture is held, otherwise the GL texture name plus one.
  std::uint32_t textureId = 0;
  // biWidth and biHeight of the bitmap last read.
  std::int32_t width = 0;
  std::int32_t height = 0;

 private:
  // The bound texture's mipmap chain from the image's rows.
  void Upload(const BmpImage& image);
};

}  // namespace gelmo
