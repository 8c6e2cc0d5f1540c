#include "renderer/staged_texture.h"

#include <algorithm>
#include <utility>

#include "renderer/gl.h"
#include "scr/forms/picture_reduction.h"

#ifndef GL_BGRA_EXT
#define GL_BGRA_EXT 0x80E1
#endif

namespace gelmo {
namespace {

int PowerOfTwoNotAbove(int n) {
  int p = 1;
  while (p * 2 <= n) p *= 2;
  return p;
}

// The level below, half the size each way (at least 1).
MipLevel Halved(const MipLevel& level) {
  MipLevel next;
  next.width = std::max(1, level.width / 2);
  next.height = std::max(1, level.height / 2);
  BoxReducer reducer(level.width, level.height, next.width, next.height);
  reducer.AddRows(level.bgra.data(), level.height, std::ptrdiff_t(level.width) * 4);
  next.bgra = reducer.TakePixels();
  return next;
}

}  // namespace

std::vector<MipLevel> MipmapChain(const BmpImage& image) {
  std::vector<MipLevel> levels;
  if (image.width <= 0 || image.height <= 0) return levels;
  MipLevel first;
  first.width = PowerOfTwoNotAbove(std::min(image.width, kMaxReducerSide));
  first.height = PowerOfTwoNotAbove(std::min(image.height, kMaxReducerSide));
  {
    BoxReducer reducer(image.width, image.height, first.width, first.height);
    const std::size_t stride = PaddedRowBytes(24, image.width);
    std::vector<std::uint8_t> row(std::size_t(image.width) * 4, 255);
    for (int y = 0; y < image.height; ++y) {
      const std::uint8_t* bgr = image.pixels.data() + stride * std::size_t(y);
      for (int x = 0; x < image.width; ++x) std::copy_n(bgr + 3 * x, 3, row.data() + 4 * x);
      reducer.AddRows(row.data(), 1, 0);
    }
    first.bgra = reducer.TakePixels();
  }
  levels.push_back(std::move(first));
  while (levels.back().width > 1 || levels.back().height > 1) levels.push_back(Halved(levels.back()));
  return levels;
}

void StagedTexture::Start(std::vector<MipLevel> levels) {
  levels_ = std::move(levels);
  level_ = 0;
  row_ = 0;
}

void StagedTexture::Clear() { Start({}); }

bool StagedTexture::UploadSome(std::size_t pixels) {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  while (level_ < levels_.size()) {
    const MipLevel& level = levels_[level_];
    if (row_ == 0)  // the level's storage, then its rows
      glTexImage2D(GL_TEXTURE_2D, GLint(level_), 3, level.width, level.height, 0, GL_BGRA_EXT, GL_UNSIGNED_BYTE,
                   nullptr);
    const int rows = int(std::clamp<std::size_t>(pixels / std::size_t(level.width), 1, std::size_t(level.height - row_)));
    glTexSubImage2D(GL_TEXTURE_2D, GLint(level_), 0, row_, level.width, rows, GL_BGRA_EXT, GL_UNSIGNED_BYTE,
                    level.bgra.data() + std::size_t(row_) * std::size_t(level.width) * 4);
    row_ += rows;
    if (row_ == level.height) {
      ++level_;
      row_ = 0;
    }
    const std::size_t sent = std::size_t(rows) * std::size_t(level.width);
    if (sent >= pixels) break;
    pixels -= sent;
  }
  return level_ >= levels_.size();
}

}  // namespace gelmo
