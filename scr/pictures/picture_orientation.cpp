#include "scr/pictures/picture_orientation.h"

#include <algorithm>
#include <cstring>

namespace gelmo {
namespace {

constexpr int kUpright = 1;
constexpr int kMaxSegments = 1000;  // a photo has a dozen before its Exif block
constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kShortType = 3;
constexpr std::size_t kEntryBytes = 12;

// A run of the file's bytes that every read is confined to: the whole file for
// a TIFF, the segment for a JPEG's Exif block, whose offsets count from its
// own TIFF header.
class Window {
 public:
  // start + size must not pass the end of `bytes`.
  Window(const PictureBytes& bytes, std::uint64_t start, std::uint64_t size)
      : bytes_(bytes), start_(start), size_(size) {}
  std::uint64_t Size() const { return size_; }
  // All n bytes at `at`, or false.
  bool Read(std::uint64_t at, void* dst, std::size_t n) const {
    if (at > size_ || n > size_ - at) return false;
    return bytes_.ReadAt(start_ + at, dst, n) == n;
  }

 private:
  const PictureBytes& bytes_;
  std::uint64_t start_;
  std::uint64_t size_;
};

std::uint16_t U16(const std::uint8_t* p, bool little) {
  return static_cast<std::uint16_t>(little ? p[0] | p[1] << 8 : p[0] << 8 | p[1]);
}
std::uint32_t U32(const std::uint8_t* p, bool little) {
  return little ? std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
                      std::uint32_t{p[3]} << 24
                : std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 |
                      std::uint32_t{p[3]};
}

int TiffOrientation(const Window& tiff) {
  std::uint8_t header[8];
  if (!tiff.Read(0, header, sizeof header)) return kUpright;
  bool little;
  if (header[0] == 'I' && header[1] == 'I' && header[2] == 42 && header[3] == 0) {
    little = true;
  } else if (header[0] == 'M' && header[1] == 'M' && header[2] == 0 && header[3] == 42) {
    little = false;
  } else {
    return kUpright;
  }
  const std::uint64_t ifd = U32(header + 4, little);
  std::uint8_t countBytes[2];
  if (!tiff.Read(ifd, countBytes, sizeof countBytes)) return kUpright;
  // The declared count (at most 65535) is believed only as far as the bytes go.
  const std::uint64_t fit = (tiff.Size() - ifd - 2) / kEntryBytes;
  const std::uint32_t count =
      static_cast<std::uint32_t>(std::min<std::uint64_t>(U16(countBytes, little), fit));

  std::uint8_t batch[32 * kEntryBytes];
  for (std::uint32_t done = 0; done < count;) {
    const std::uint32_t n = std::min<std::uint32_t>(count - done, 32);
    if (!tiff.Read(ifd + 2 + std::uint64_t{done} * kEntryBytes, batch, n * kEntryBytes)) return kUpright;
    for (std::uint32_t i = 0; i < n; ++i) {
      const std::uint8_t* entry = batch + i * kEntryBytes;
      if (U16(entry, little) != kOrientationTag) continue;
      // The first orientation entry decides, even a malformed one.
      if (U16(entry + 2, little) != kShortType || U32(entry + 4, little) < 1) return kUpright;
      const int value = U16(entry + 8, little);  // a SHORT sits at the start of the value field
      return value >= 1 && value <= 8 ? value : kUpright;
    }
    done += n;
  }
  return kUpright;
}

// Offset of the first byte at or after `pos` that is not FF; Size() when there is none.
std::uint64_t SkipFill(const PictureBytes& bytes, std::uint64_t pos) {
  std::uint8_t chunk[64];
  for (;;) {
    const std::size_t got = bytes.ReadAt(pos, chunk, sizeof chunk);
    if (got == 0) return bytes.Size();
    for (std::size_t i = 0; i < got; ++i)
      if (chunk[i] != 0xFF) return pos + i;
    pos += got;
  }
}

// Walks a JPEG's segments up to its start of scan, handing each one's marker
// code, the offset of its contents (after the length) and their length to
// `segment`, until it answers false.  Segments that run past the end are not
// handed over.
template <typename Segment>
void ForEachJpegSegment(const PictureBytes& bytes, Segment segment) {
  const std::uint64_t size = bytes.Size();
  std::uint64_t pos = 2;  // past the start-of-image marker
  for (int count = 0; count < kMaxSegments; ++count) {
    // A marker is FF, any number of FF fill bytes, then its code.
    std::uint8_t ff;
    if (bytes.ReadAt(pos, &ff, 1) != 1 || ff != 0xFF) return;
    pos = SkipFill(bytes, pos + 1);
    std::uint8_t code;
    if (bytes.ReadAt(pos, &code, 1) != 1) return;
    ++pos;
    if (code == 0xDA || code == 0xD9) return;  // start of scan, end of image
    if ((code >= 0xD0 && code <= 0xD7) || code == 0x01) continue;  // no length follows these

    std::uint8_t lengthBytes[2];
    if (bytes.ReadAt(pos, lengthBytes, 2) != 2) return;
    const std::uint32_t length = U16(lengthBytes, false);  // counts its own two bytes
    if (length < 2 || length > size - pos) return;  // pos <= size: two bytes were read there
    if (!segment(code, pos + 2, std::uint64_t(length - 2))) return;
    pos += length;
  }
}

int JpegOrientation(const PictureBytes& bytes) {
  int orientation = kUpright;
  ForEachJpegSegment(bytes, [&](std::uint8_t code, std::uint64_t at, std::uint64_t length) {
    static const std::uint8_t kExif[6] = {'E', 'x', 'i', 'f', 0, 0};
    std::uint8_t id[sizeof kExif];
    if (code != 0xE1 || length < sizeof kExif || bytes.ReadAt(at, id, sizeof id) != sizeof id ||
        std::memcmp(id, kExif, sizeof kExif) != 0)
      return true;
    orientation = TiffOrientation(Window(bytes, at + sizeof kExif, length - sizeof kExif));
    return false;
  });
  return orientation;
}

bool IsJpeg(const PictureBytes& bytes) {
  std::uint8_t start[2];
  return bytes.ReadAt(0, start, sizeof start) == sizeof start && start[0] == 0xFF && start[1] == 0xD8;
}

}  // namespace

std::size_t MemoryPictureBytes::ReadAt(std::uint64_t offset, void* dst, std::size_t n) const {
  if (offset >= size_) return 0;
  n = static_cast<std::size_t>(std::min<std::uint64_t>(n, size_ - offset));
  if (n > 0) std::memcpy(dst, data_ + offset, n);
  return n;
}

int PictureOrientation(const PictureBytes& bytes) {
  if (IsJpeg(bytes)) return JpegOrientation(bytes);
  return TiffOrientation(Window(bytes, 0, bytes.Size()));
}

bool OrientationSwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }

std::vector<std::uint8_t> Orient(const std::uint8_t* pixels, int width, int height, int orientation) {
  if (pixels == nullptr || width <= 0 || height <= 0) return {};
  const std::ptrdiff_t w = width, h = height;
  const std::size_t bytes = static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4;
  if (orientation < 2 || orientation > 8) return std::vector<std::uint8_t>(pixels, pixels + bytes);

  // The source pixel of output pixel (x, y) is base + x * stepX + y * stepY
  // (in pixels): each orientation walks the source along a row or a column,
  // forwards or backwards.
  std::ptrdiff_t base = 0, stepX = 1, stepY = w;
  // 6 is upright once turned a quarter clockwise, 8 a quarter counter-clockwise.
  switch (orientation) {
    case 2: base = w - 1, stepX = -1, stepY = w; break;                 // mirrored left-right
    case 3: base = (h - 1) * w + w - 1, stepX = -1, stepY = -w; break;  // turned 180
    case 4: base = (h - 1) * w, stepX = 1, stepY = -w; break;           // mirrored top-bottom
    case 5: base = 0, stepX = w, stepY = 1; break;                      // transposed
    case 6: base = (h - 1) * w, stepX = -w, stepY = 1; break;
    case 7: base = (h - 1) * w + w - 1, stepX = -w, stepY = -1; break;  // transverse
    case 8: base = w - 1, stepX = w, stepY = -1; break;
  }
  const bool swap = OrientationSwapsSides(orientation);
  const std::ptrdiff_t outW = swap ? h : w, outH = swap ? w : h;
  std::vector<std::uint8_t> out(bytes);
  std::uint8_t* dst = out.data();
  for (std::ptrdiff_t y = 0; y < outH; ++y) {
    std::ptrdiff_t src = base + y * stepY;
    for (std::ptrdiff_t x = 0; x < outW; ++x, src += stepX, dst += 4) std::memcpy(dst, pixels + src * 4, 4);
  }
  return out;
}

}  // namespace gelmo
