// How a photo's pixels must be turned to stand upright: the orientation a
// camera records in a JPEG's Exif block or a TIFF file's first directory, and
// the turning itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace gelmo {

class PictureBytes {  // random access to a picture file's bytes
 public:
  virtual ~PictureBytes() = default;
  virtual std::uint64_t Size() const = 0;
  // Reads up to n bytes at offset; returns how many were read (fewer at the end, 0 past it).
  virtual std::size_t ReadAt(std::uint64_t offset, void* dst, std::size_t n) const = 0;
};

// A picture file held in memory (tests and the fuzzer).
class MemoryPictureBytes final : public PictureBytes {
 public:
  MemoryPictureBytes(const void* data, std::size_t size)
      : data_(static_cast<const std::uint8_t*>(data)), size_(size) {}
  std::uint64_t Size() const override { return size_; }
  std::size_t ReadAt(std::uint64_t offset, void* dst, std::size_t n) const override;

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

// The orientation 1..8 recorded in a JPEG (its first Exif APP1 segment) or a
// TIFF file (tag 274 of the first directory).  1, upright, when there is none,
// it cannot be read, or it is not one of 1..8.  Reads only through `bytes`,
// never outside them, and for a JPEG never outside the Exif segment.
int PictureOrientation(const PictureBytes& bytes);

// Orientations 5..8 turn the picture a quarter: width and height trade places.
bool OrientationSwapsSides(int orientation);

// The picture turned upright.  `pixels`: height top-down rows of width pixels,
// 4 bytes each (blue, green, red, alpha), no padding.  The result has the same
// layout, height x width for orientations 5..8; for 1 and values outside 2..8
// an unchanged copy.  Empty when a side is not positive.
std::vector<std::uint8_t> Orient(const std::uint8_t* pixels, int width, int height, int orientation);

}  // namespace gelmo
