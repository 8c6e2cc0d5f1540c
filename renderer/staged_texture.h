// A new picture for the sheet while the animation runs: its mipmap chain made
// away from the frame loop, then uploaded a few rows a frame, so that no
// frame waits for a whole picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "renderer/bitmap_texture.h"
#include "renderer/bmp_reader.h"

namespace gelmo {

// One level of a texture: width x height blue-green-red-alpha pixels, rows
// bottom first (the first row is texture row t = 0).
struct MipLevel {
  int width = 0, height = 0;
  std::vector<std::uint8_t> bgra;
};

// The mipmap chain of a hand-off bitmap: the first level of the sizes
// gluBuild2DMipmaps scales the picture to (the nearest power of two on each
// side), so that every picture the sheet shows has a texture of the same
// size and memory; each next level half the one before, down to 1 x 1;
// every level by area averaging.  Empty for an empty picture.
std::vector<MipLevel> MipmapChain(const BmpImage& image);

// Uploads a chain into the bound texture, level by level, a budget of pixels
// at a time.  A level the texture already has at that size keeps its memory:
// only new memory costs a long call (the driver clears it).
class StagedTexture {
 public:
  void Start(std::vector<MipLevel> levels);
  // Uploads up to `pixels` more pixels (at least one row); true once every
  // level is in.  Call with the texture bound.
  bool UploadSome(std::size_t pixels);
  bool Started() const { return !levels_.empty(); }
  void Clear();

 private:
  std::vector<MipLevel> levels_;
  std::size_t level_ = 0;
  int row_ = 0;
};

// Gives `spare` levels of the sizes `like` has, with no pixels: the memory a
// StagedTexture of a picture of the same size then fills.  Leaves `spare` bound.
void AllocateLevelsLike(const BitmapTexture& like, const BitmapTexture& spare);

}  // namespace gelmo
