#include "renderer/staged_texture.h"

#include <algorithm>
#include <utility>

#include "renderer/gl.h"
#include "scr/pictures/picture_reduction.h"

#ifndef GL_BGRA_EXT
#define GL_BGRA_EXT 0x80E1
#endif

namespace gelmo {
namespace {

// The power of two gluBuild2DMipmaps scales a side to: the one below, or
// the one above where the side's two top bits are both set (1536 -> 2048,
// 1535 -> 1024).
int NearestPowerOfTwo(int n) {
  int p = 1;
  for (; n > 1 && n != 3; n >>= 1) p *= 2;
  if (n == 3) p *= 4;
  while (p > kMaxReducerSide) p /= 2;
  return p;
}

// A level enlarged to width x height (each side at least the level's), by
// linear interpolation between the nearest pixels.
MipLevel Enlarged(const MipLevel& level, int width, int height) {
  if (width == level.width && height == level.height) return level;
  MipLevel out;
  out.width = width;
  out.height = height;
  out.bgra.resize(std::size_t(width) * std::size_t(height) * 4);
  // Where a destination pixel's centre falls in the source: the pixel at or
  // before it, the one after, and the share of the one after (of 256).
  struct Tap { int before, after, share; };
  auto taps = [](int from, int to) {
    std::vector<Tap> t(static_cast<std::size_t>(to));
    for (int i = 0; i < to; ++i) {
      const double at = std::max(0.0, (i + 0.5) * from / to - 0.5);
      const int before = std::min(int(at), from - 1);
      t[std::size_t(i)] = {before, std::min(before + 1, from - 1), int((at - before) * 256.0 + 0.5)};
    }
    return t;
  };
  const std::vector<Tap> across = taps(level.width, width), down = taps(level.height, height);
  std::uint8_t* o = out.bgra.data();
  for (const Tap& y : down) {
    const std::uint8_t* top = level.bgra.data() + std::size_t(y.before) * std::size_t(level.width) * 4;
    const std::uint8_t* bottom = level.bgra.data() + std::size_t(y.after) * std::size_t(level.width) * 4;
    for (const Tap& x : across)
      for (int c = 0; c < 4; ++c, ++o) {
        const int upper = top[x.before * 4 + c] * (256 - x.share) + top[x.after * 4 + c] * x.share;
        const int lower = bottom[x.before * 4 + c] * (256 - x.share) + bottom[x.after * 4 + c] * x.share;
        *o = std::uint8_t((upper * (256 - y.share) + lower * y.share + (1 << 15)) >> 16);
      }
  }
  return out;
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

struct LevelSize {
  GLint width = 0, height = 0;
  bool operator==(const LevelSize& o) const { return width == o.width && height == o.height; }
};

// The size of a level of the bound texture; 0 x 0 where it has none.
LevelSize BoundLevelSize(GLint level) {
  LevelSize size;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &size.width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &size.height);
  return size;
}

void AllocateLevel(GLint level, LevelSize size) {
  glTexImage2D(GL_TEXTURE_2D, level, 3, size.width, size.height, 0, GL_BGRA_EXT, GL_UNSIGNED_BYTE, nullptr);
}

}  // namespace

std::vector<MipLevel> MipmapChain(const BmpImage& image) {
  std::vector<MipLevel> levels;
  if (image.width <= 0 || image.height <= 0) return levels;
  MipLevel first;
  const int width = NearestPowerOfTwo(image.width), height = NearestPowerOfTwo(image.height);
  // Reduced by area averaging on the sides that shrink, then enlarged on
  // those that grow.
  first.width = std::min(width, image.width);
  first.height = std::min(height, image.height);
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
  levels.push_back(Enlarged(first, width, height));
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
    const LevelSize size{level.width, level.height};
    if (row_ == 0 && !(BoundLevelSize(GLint(level_)) == size))  // the level's memory, then its rows
      AllocateLevel(GLint(level_), size);
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

void AllocateLevelsLike(const BitmapTexture& like, const BitmapTexture& spare) {
  std::vector<LevelSize> sizes;
  like.Bind();
  for (LevelSize size; (size = BoundLevelSize(GLint(sizes.size()))).width > 0;) sizes.push_back(size);
  spare.Bind();
  for (std::size_t level = 0; level < sizes.size(); ++level) AllocateLevel(GLint(level), sizes[level]);
}

}  // namespace gelmo
