// The numbers of one face drawing: where the eight border pieces of a face
// picture go, where the caption sits, and the two vertices of the gradient
// under them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace gelmo {

inline constexpr std::int32_t kTwipsPerPixel = 15;
// Face pictures: 64 x 25 pixels, 960 x 375 twips.
inline constexpr std::int32_t kFaceWidthPx = 64;
inline constexpr std::int32_t kFaceHeightPx = 25;
inline constexpr std::int32_t kFaceCornerPx = 4;
inline constexpr std::int32_t kFaceCornerTwips = 60;
// The caption label's design height.
inline constexpr float kCaptionLabelHeightTwips = 195.0f;

struct FaceRect {
  std::int32_t x = 0, y = 0, width = 0, height = 0;
  bool operator==(const FaceRect& o) const {
    return x == o.x && y == o.y && width == o.width && height == o.height;
  }
};

// One piece: a rectangle of the picture copied, stretched where the sizes
// differ, into a rectangle of the control.  A piece with no width or height is
// not painted.
struct FacePiece {
  FaceRect destination;
  FaceRect source;
};

// In drawing order: top-left, top, top-right, right, bottom-right, bottom,
// bottom-left, left.  The centre is left to the gradient.
using FacePieces = std::array<FacePiece, 8>;

// For a control of width x height twips.  The 1-twip offsets fall inside the
// first pixel.  Below 120 twips a middle piece would get a negative size; it
// gets none instead, and the corners overlap.
FacePieces FacePiecesTwips(std::int32_t width, std::int32_t height);
// The same ring for a control of width x height pixels, as the painting calls
// take it: 4 x 4 corners as they are, the edges stretched to width - 8 and
// height - 8.
FacePieces FacePiecesPixels(std::int32_t width, std::int32_t height);

// The caption label after a drawing, in twips: full width, left 0, centred
// vertically 10 twips above the middle (top 80 at height 375, 50 at 315).
struct CaptionPlacement {
  float left = 0, top = 0, width = 0;
};
CaptionPlacement PlaceCaption(float width, float height, float labelHeight = kCaptionLabelHeightTwips);

// The gradient colours, as texts.
inline constexpr std::string_view kGradientLightText = "&HFFFFFF";
inline constexpr std::string_view kGradientShadeText = "&HC6C5D7";

// 16-bit red, green and blue of one colour text: its value ("&H" marks
// hexadecimal, otherwise decimal) written as six hexadecimal digits, read in
// pairs as red, green, blue, each pair times 256 ("&HC6C5D7" -> C600, C500,
// D700).  Empty when the text is no number or does not fit 24 bits.
std::optional<std::array<std::uint16_t, 3>> GradientChannels(std::string_view colourText);

// TRIVERTEX and GRADIENT_RECT as GradientFill takes them.
struct GradientVertex {
  std::int32_t x = 0, y = 0;
  std::uint16_t red = 0, green = 0, blue = 0, alpha = 0;
};
struct FaceGradient {
  std::array<GradientVertex, 2> vertex;
  std::uint32_t upperLeft = 1;  // the mesh names vertex 1 first
  std::uint32_t lowerRight = 0;
};
inline constexpr std::uint32_t kGradientFillRectV = 1;  // GRADIENT_FILL_RECT_V

// The vertical gradient over a control of width x height pixels: vertex 0 at
// (0, 0), vertex 1 at (width - 1, height - 1).  Not reversed it runs from the
// light colour at the top to the shade at the bottom; reversed the other way.
FaceGradient MakeFaceGradient(bool reverse, std::int32_t width, std::int32_t height);

}  // namespace gelmo
