#include "renderer/bitmap_texture.h"

#include <cstring>

#include "renderer/bitmap_file.h"
#include "renderer/gl.h"

namespace gelmo {

bool BitmapTexture::Create(const char* path) {
  Release();
  std::size_t n = path ? strnlen(path, sizeof name - 1) : 0;
  if (n > 0) std::memcpy(name, path, n);
  name[n] = '\0';

  GLuint id = 0;
  glGenTextures(1, &id);
  textureId = id + 1;
  glBindTexture(GL_TEXTURE_2D, textureId - 1);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLfloat>(GL_REPEAT));
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLfloat>(GL_REPEAT));
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(GL_LINEAR));
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                  static_cast<GLfloat>(GL_LINEAR_MIPMAP_NEAREST));
  return true;
}

void BitmapTexture::Bind() const { glBindTexture(GL_TEXTURE_2D, textureId - 1); }

void BitmapTexture::Release() {
  if (textureId != 0) {
    GLuint id = textureId - 1;
    glDeleteTextures(1, &id);
  }
  textureId = 0;
}

bool BitmapTexture::LoadBitmap(const char* path) {
  Create(path);  // from here on a bound texture name exists, whatever the file holds

  BmpImage image;
  {
    std::unique_ptr<ByteSource> file = OpenBitmapFile(path);
    if (!file) return false;
    BmpResult result = ReadHandOffBitmap(*file, image);
    if (image.dimensionsRead) {
      width = image.width;
      height = image.height;
    }
    if (result != BmpResult::kOk) return false;
  }  // the file is closed before the upload
  Upload(image);
  return true;
}

void BitmapTexture::LoadPixels(const char* name, const BmpImage& image) {
  Create(name);
  width = image.width;
  height = image.height;
  Upload(image);
}

void BitmapTexture::Upload(const BmpImage& image) {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  // The first stored row (the picture's bottom) becomes texture row t = 0.
  gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_BGR_EXT, GL_UNSIGNED_BYTE,
                    image.pixels.data());
}

}  // namespace gelmo
