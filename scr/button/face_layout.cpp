#include "scr/button/face_layout.h"

#include <algorithm>

namespace gelmo {
namespace {

FacePieces Ring(std::int32_t width, std::int32_t height, std::int32_t corner, std::int32_t offset,
                std::int32_t pictureWidth, std::int32_t pictureHeight) {
  // Sizes are kept in 32 bits, so a wide control cannot wrap the layout.
  const std::int32_t c = corner;
  const std::int32_t mw = std::max<std::int32_t>(0, width - 2 * c);
  const std::int32_t mh = std::max<std::int32_t>(0, height - 2 * c);
  const std::int32_t xr = c + mw;
  const std::int32_t yb = c + mh;
  const std::int32_t pmw = pictureWidth - 2 * c;   // 840 twips, 56 px
  const std::int32_t pmh = pictureHeight - 2 * c;  // 255 twips, 17 px
  const std::int32_t pxr = pmw + c;                // 900 twips, 60 px
  const std::int32_t pyb = c + pmh;                // 315 twips, 21 px
  const std::int32_t o = offset;
  return {{
      {{o, o, c, c}, {0, 0, c, c}},
      {{c, o, mw, c}, {c, o, pmw, c}},
      {{xr, o, c, c}, {pxr, o, c, c}},
      {{xr, c, c, mh}, {pxr, c, c, pmh}},
      {{xr, yb, c, c}, {pxr, pyb, c, c}},
      {{c, yb, mw, c}, {c, pyb, pmw, c}},
      {{o, yb, c, c}, {0, pyb, c, c}},
      {{o, c, c, mh}, {o, c, c, pmh}},
  }};
}

}  // namespace

FacePieces FacePiecesTwips(std::int32_t width, std::int32_t height) {
  return Ring(width, height, kFaceCornerTwips, 1, kFaceWidthPx * kTwipsPerPixel,
              kFaceHeightPx * kTwipsPerPixel);
}

FacePieces FacePiecesPixels(std::int32_t width, std::int32_t height) {
  return Ring(width, height, kFaceCornerPx, 0, kFaceWidthPx, kFaceHeightPx);
}

CaptionPlacement PlaceCaption(float width, float height, float labelHeight) {
  CaptionPlacement placement;
  placement.width = width;
  placement.top = (height - labelHeight - 20.0f) / 2.0f;
  return placement;
}

std::optional<std::array<std::uint16_t, 3>> GradientChannels(std::string_view text) {
  std::uint64_t value = 0;
  bool hex = text.size() >= 2 && text[0] == '&' && (text[1] == 'H' || text[1] == 'h');
  std::string_view digits = hex ? text.substr(2) : text;
  if (digits.empty() || digits.size() > 16) return std::nullopt;
  for (char ch : digits) {
    int digit;
    if (ch >= '0' && ch <= '9') digit = ch - '0';
    else if (hex && ch >= 'A' && ch <= 'F') digit = ch - 'A' + 10;
    else if (hex && ch >= 'a' && ch <= 'f') digit = ch - 'a' + 10;
    else return std::nullopt;
    value = value * (hex ? 16 : 10) + digit;
  }
  if (value > 0xFFFFFF) return std::nullopt;
  // Six digits always, so a colour with a leading zero pair still reads its
  // red from the first pair rather than shifting green into red.
  const auto pair = [&](int shift) { return std::uint16_t(((value >> shift) & 0xFF) << 8); };
  return std::array<std::uint16_t, 3>{pair(16), pair(8), pair(0)};
}

FaceGradient MakeFaceGradient(bool reverse, std::int32_t width, std::int32_t height) {
  static const std::array<std::uint16_t, 3> light = *GradientChannels(kGradientLightText);
  static const std::array<std::uint16_t, 3> shade = *GradientChannels(kGradientShadeText);
  const auto& top = reverse ? shade : light;
  const auto& bottom = reverse ? light : shade;
  FaceGradient gradient;
  gradient.vertex[0] = {0, 0, top[0], top[1], top[2], 0};
  gradient.vertex[1] = {width - 1, height - 1, bottom[0], bottom[1], bottom[2], 0};
  return gradient;
}

}  // namespace gelmo
