#include "scr/button/face_pictures.h"

#include <algorithm>

#include "scr/button/face_layout.h"
#include "scr/pictures/bmp_writer.h"

namespace gelmo {
namespace {

// The tables give colours as RGB RRGGBB; pixels are 0x00BBGGRR.
constexpr std::uint32_t Rgb(std::uint32_t rrggbb) {
  return (rrggbb >> 16 & 0xFF) | (rrggbb & 0xFF00) | (rrggbb & 0xFF) << 16;
}

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, int num, int den) {
  std::uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int ca = a >> shift & 0xFF, cb = b >> shift & 0xFF;
    out |= std::uint32_t((ca * (den - num) + cb * num + den / 2) / den) << shift;
  }
  return out;
}

// From `top` at row 0 to `bottom` at the last row.
std::uint32_t Down(std::uint32_t top, std::uint32_t bottom, int y) {
  return Mix(top, bottom, y, kFaceHeightPx - 1);
}

enum class Side { kTop, kBottom, kLeft, kRight };

// The four sides of one ring.
struct Sides {
  std::uint32_t top, bottom, left, right;
  std::uint32_t Of(Side side) const {
    switch (side) {
      case Side::kTop: return top;
      case Side::kBottom: return bottom;
      case Side::kLeft: return left;
      default: return right;
    }
  }
};
constexpr Sides All(std::uint32_t c) { return {c, c, c, c}; }

constexpr Sides kBeige = {Rgb(0xE0DCC9), Rgb(0xF8F7F0), Rgb(0xE2DECB), Rgb(0xF0EEE0)};
constexpr std::uint32_t kOutline = Rgb(0x003C74);

// Colour of ring `ring` (0 outermost) on `side`, at row y.
std::uint32_t RingColour(Face face, int ring, Side side, int y) {
  switch (face) {
    case Face::kNormal:
      if (ring == 0) return kBeige.Of(side);
      if (ring == 1) return kOutline;
      switch (side) {
        case Side::kTop: return Rgb(0xF3F3EE);
        case Side::kBottom: return ring == 2 ? Rgb(0xD6D0C5) : Rgb(0xE2DFD6);
        case Side::kLeft: return Down(Rgb(0xFDFDFC), Rgb(0xECEBE6), y);
        case Side::kRight:
          return ring == 2 ? Down(Rgb(0xF6F4F2), Rgb(0xE0DDD4), y) : Down(Rgb(0xFBFBFA), Rgb(0xE4E2DA), y);
      }
      break;
    case Face::kHighLight:
    case Face::kHighLightSelect:  // the same picture
      if (ring == 0) return kBeige.Of(side);
      if (ring == 1) return kOutline;
      switch (side) {
        case Side::kTop: return ring == 2 ? Rgb(0xFFF0CF) : Rgb(0xFDD889);
        case Side::kBottom: return ring == 2 ? Rgb(0xE59700) : Rgb(0xF8B230);
        default: return Down(ring == 2 ? Rgb(0xFEDF9A) : Rgb(0xFCD279), Rgb(0xF9B435), y);
      }
    case Face::kSelected:
      if (ring == 0) return kBeige.Of(side);
      if (ring == 1) return kOutline;
      switch (side) {
        case Side::kTop: return ring == 2 ? Rgb(0xCEE7FF) : Rgb(0xB1CCF2);
        case Side::kBottom: return Rgb(0x6982EE);
        default: return Down(Rgb(0xB7D0F4), Rgb(0x8BADE4), y);
      }
    case Face::kPressed: {
      // Sunk in: the outline one pixel further in, shadow at top and left.
      constexpr Sides kInside = {Rgb(0xD1CCC0), Rgb(0xF2F2EE), Rgb(0xD8D4CB), Rgb(0xE5E4DD)};
      if (ring == 0) return Rgb(0xECE9D8);
      if (ring == 1) return kBeige.Of(side);
      if (ring == 2) return kOutline;
      return kInside.Of(side);
    }
    case Face::kDisable:
      if (ring == 0) return Rgb(0xECE9D8);
      if (ring == 1) return Rgb(0xC9C7BA);
      return All(Rgb(0xF5F4EA)).Of(side);
  }
  return 0;
}

std::uint32_t RingPixel(Face face, int x, int y) {
  const int right = kFaceWidthPx - 1 - x, bottom = kFaceHeightPx - 1 - y;
  const int ring = std::min({x, y, right, bottom});
  if (ring >= kFaceCornerPx) return RingColour(face, kFaceCornerPx - 1, Side::kTop, y);
  // Rows run the full width of their ring; columns fill in between.
  if (y == ring) return RingColour(face, ring, Side::kTop, y);
  if (bottom == ring) return RingColour(face, ring, Side::kBottom, y);
  if (x == ring) return RingColour(face, ring, Side::kLeft, y);
  return RingColour(face, ring, Side::kRight, y);
}

}  // namespace

std::uint32_t FacePixel(Face face, int x, int y) {
  if (x < 0 || y < 0 || x >= kFaceWidthPx || y >= kFaceHeightPx) return 0;
  const std::uint32_t own = RingPixel(face, x, y);
  // Rounded corners: where the second ring turns a corner its pixel is
  // blended half with the ring outside it, so it curves instead of meeting
  // square.
  const int cx = std::min(x, kFaceWidthPx - 1 - x), cy = std::min(y, kFaceHeightPx - 1 - y);
  if (cx == 1 && cy == 1) {
    const int ox = x < kFaceWidthPx / 2 ? x - 1 : x + 1;
    return Mix(own, RingPixel(face, ox, y), 1, 2);
  }
  return own;
}

std::vector<std::uint8_t> FaceRows24(Face face) {
  const std::uint32_t rowBytes = Bmp24RowBytes(kFaceWidthPx);
  std::vector<std::uint8_t> rows(std::size_t(rowBytes) * kFaceHeightPx);
  for (int row = 0; row < kFaceHeightPx; ++row) {
    const int y = kFaceHeightPx - 1 - row;  // bottom row first
    std::uint8_t* out = rows.data() + std::size_t(row) * rowBytes;
    for (int x = 0; x < kFaceWidthPx; ++x) {
      const std::uint32_t c = FacePixel(face, x, y);
      *out++ = c >> 16 & 0xFF;  // blue
      *out++ = c >> 8 & 0xFF;   // green
      *out++ = c & 0xFF;        // red
    }
  }
  return rows;
}

std::vector<std::uint8_t> FaceBmpFile(Face face) {
  return EncodeBmp24(kFaceWidthPx, kFaceHeightPx, FaceRows24(face));
}

}  // namespace gelmo
