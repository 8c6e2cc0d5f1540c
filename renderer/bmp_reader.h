// Reader of the hand-off bitmaps: 24-bit uncompressed Windows BMP files with a
// 14-byte file header and a BITMAPINFOHEADER, rows bottom first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace gelmo {

// Sequential reading of one open file.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to n bytes at the current position; returns the number read.
  virtual std::size_t Read(void* dst, std::size_t n) = 0;
  // Length of the whole file in bytes.
  virtual std::uint64_t Size() const = 0;
};

// A file image held in memory (tests and the fuzzer).
class MemorySource final : public ByteSource {
 public:
  MemorySource(const void* data, std::size_t size)
      : data_(static_cast<const std::uint8_t*>(data)), size_(size) {}
  std::size_t Read(void* dst, std::size_t n) override;
  std::uint64_t Size() const override { return size_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

enum class BmpResult {
  kOk,
  kShortFileHeader,   // fewer than 14 bytes
  kWrongMagic,        // does not begin with "BM"
  kBadPixelOffset,    // bfOffBits leaves less than 40 header bytes, or lies past the file
  kShortHeaderArea,   // the bytes up to bfOffBits could not all be read
  kBadWidth,          // biWidth <= 0
  kBadHeight,         // biHeight <= 0 (top-down and empty pictures)
  kTooLarge,          // beyond kMaxBitmapSide or kMaxPixelBytes
  kBadBitCount,       // biBitCount other than 24
  kShortImageSize,    // biSizeImage, when not 0, below what the rows need
  kShortPixelData,    // the file ends before the rows do
  kNoMemory,
};

const char* BmpResultName(BmpResult result);

// Limits that keep every size computation and the mipmap builder's own
// arithmetic far from overflow: wider than any desktop, and at most 256 MiB of rows.
constexpr std::int32_t kMaxBitmapSide = 16384;
constexpr std::uint64_t kMaxPixelBytes = std::uint64_t{256} << 20;

struct BmpImage {
  // biWidth and biHeight, kept as soon as the header area has been read, even
  // when the file is refused afterwards.
  std::int32_t width = 0;
  std::int32_t height = 0;
  bool dimensionsRead = false;
  // height rows of width blue-green-red pixels, each row padded to 4 bytes,
  // bottom row first: exactly height * PaddedRowBytes(24, width) bytes.
  std::vector<std::uint8_t> pixels;
};

// Length of one stored row: (bitsPerPixel * width + 31) / 32 * 4 bytes.
std::uint64_t PaddedRowBytes(std::uint32_t bitsPerPixel, std::int64_t width);

// Reads a whole hand-off bitmap.  Never reads outside the bytes taken from the
// file and, on kOk, hands back as many pixel bytes as the rows need.
BmpResult ReadHandOffBitmap(ByteSource& file, BmpImage& image);

}  // namespace gelmo
