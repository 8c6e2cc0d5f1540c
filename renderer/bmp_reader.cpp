#include "renderer/bmp_reader.h"

#include <cstring>
#include <new>
#include <stdexcept>

namespace gelmo {
namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kInfoHeaderBytes = 40;

std::uint32_t U32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}
std::int32_t I32(const std::uint8_t* p) { return static_cast<std::int32_t>(U32(p)); }
std::uint16_t U16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

// Sizes the buffer to n bytes and fills it from the file; on failure it is left empty.
BmpResult ReadExactly(ByteSource& file, std::vector<std::uint8_t>& buffer, std::uint64_t n,
                      BmpResult shortResult) {
  try {
    buffer.resize(static_cast<std::size_t>(n));
  } catch (const std::bad_alloc&) {
    return BmpResult::kNoMemory;
  } catch (const std::length_error&) {
    return BmpResult::kNoMemory;
  }
  if (file.Read(buffer.data(), buffer.size()) == buffer.size()) return BmpResult::kOk;
  std::vector<std::uint8_t>().swap(buffer);  // a refused buffer is freed at once
  return shortResult;
}

}  // namespace

std::size_t MemorySource::Read(void* dst, std::size_t n) {
  std::size_t left = size_ - pos_;
  if (n > left) n = left;
  if (n > 0) std::memcpy(dst, data_ + pos_, n);
  pos_ += n;
  return n;
}

const char* BmpResultName(BmpResult result) {
  switch (result) {
    case BmpResult::kOk: return "ok";
    case BmpResult::kShortFileHeader: return "short file header";
    case BmpResult::kWrongMagic: return "wrong magic";
    case BmpResult::kBadPixelOffset: return "bad pixel offset";
    case BmpResult::kShortHeaderArea: return "short header area";
    case BmpResult::kBadWidth: return "bad width";
    case BmpResult::kBadHeight: return "bad height";
    case BmpResult::kTooLarge: return "too large";
    case BmpResult::kBadBitCount: return "not 24 bits per pixel";
    case BmpResult::kShortImageSize: return "image size too small";
    case BmpResult::kShortPixelData: return "short pixel data";
    case BmpResult::kNoMemory: return "no memory";
  }
  return "?";
}

std::uint64_t PaddedRowBytes(std::uint32_t bitsPerPixel, std::int64_t width) {
  if (width <= 0) return 0;
  return (std::uint64_t{bitsPerPixel} * static_cast<std::uint64_t>(width) + 31) / 32 * 4;
}

BmpResult ReadHandOffBitmap(ByteSource& file, BmpImage& image) {
  std::uint8_t fileHeader[kFileHeaderBytes];
  if (file.Read(fileHeader, sizeof fileHeader) != sizeof fileHeader)
    return BmpResult::kShortFileHeader;
  if (U16(fileHeader) != 0x4D42) return BmpResult::kWrongMagic;

  // Every byte from the end of the file header up to the pixel data is one
  // header area: the info header, then anything (a colour table) to skip.
  const std::uint32_t offBits = U32(fileHeader + 10);
  if (offBits < kFileHeaderBytes + kInfoHeaderBytes || offBits > file.Size())
    return BmpResult::kBadPixelOffset;
  std::vector<std::uint8_t> header;
  BmpResult r = ReadExactly(file, header, offBits - kFileHeaderBytes, BmpResult::kShortHeaderArea);
  if (r != BmpResult::kOk) return r;

  image.width = I32(&header[4]);
  image.height = I32(&header[8]);
  image.dimensionsRead = true;
  if (image.width <= 0) return BmpResult::kBadWidth;
  if (image.height <= 0) return BmpResult::kBadHeight;
  if (image.width > kMaxBitmapSide || image.height > kMaxBitmapSide) return BmpResult::kTooLarge;

  // The upload always takes 24-bit rows, so that is what the file must hold:
  // rows of any other depth would be shown as diagonal stripes.
  if (U16(&header[14]) != 24) return BmpResult::kBadBitCount;
  const std::uint64_t rowsNeed = std::uint64_t(image.height) * PaddedRowBytes(24, image.width);
  if (rowsNeed > kMaxPixelBytes) return BmpResult::kTooLarge;
  const std::uint64_t declared = U32(&header[20]);  // biSizeImage; 0: computed, that is rowsNeed
  if (declared != 0 && declared < rowsNeed) return BmpResult::kShortImageSize;

  // The file position is bfOffBits now: the header area ended there.
  return ReadExactly(file, image.pixels, rowsNeed, BmpResult::kShortPixelData);
}

}  // namespace gelmo
