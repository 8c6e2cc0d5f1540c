// Face layout, caption placement, gradient and the face pictures.
#include <gtest/gtest.h>

#include "renderer/bmp_reader.h"
#include "scr/button/face_layout.h"
#include "scr/button/face_pictures.h"

namespace gelmo {
namespace {

TEST(FaceLayout, TwipsPiecesOfADialogButton) {
  const FacePieces p = FacePiecesTwips(1635, 375);  // MW 1515, MH 255, XR 1575, YB 315
  const FaceRect expected[8][2] = {
      {{1, 1, 60, 60}, {0, 0, 60, 60}},          {{60, 1, 1515, 60}, {60, 1, 840, 60}},
      {{1575, 1, 60, 60}, {900, 1, 60, 60}},     {{1575, 60, 60, 255}, {900, 60, 60, 255}},
      {{1575, 315, 60, 60}, {900, 315, 60, 60}}, {{60, 315, 1515, 60}, {60, 315, 840, 60}},
      {{1, 315, 60, 60}, {0, 315, 60, 60}},      {{1, 60, 60, 255}, {1, 60, 60, 255}},
  };
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(p[i].destination, expected[i][0]) << i;
    EXPECT_EQ(p[i].source, expected[i][1]) << i;
  }
}

TEST(FaceLayout, PixelPiecesCoverTheRingExactly) {
  const int w = 109, h = 21;
  const FacePieces p = FacePiecesPixels(w, h);
  std::vector<int> covered(w * h, 0);
  for (const FacePiece& piece : p) {
    const FaceRect& d = piece.destination;
    for (int y = d.y; y < d.y + d.height; ++y)
      for (int x = d.x; x < d.x + d.width; ++x) covered[y * w + x]++;
    // Every source lies in the picture's outer four pixels.
    const FaceRect& s = piece.source;
    EXPECT_TRUE(s.x + s.width <= 4 || s.x >= 60 || s.y + s.height <= 4 || s.y >= 21);
    EXPECT_LE(s.x + s.width, kFaceWidthPx);
    EXPECT_LE(s.y + s.height, kFaceHeightPx);
  }
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool ring = x < 4 || y < 4 || x >= w - 4 || y >= h - 4;
      EXPECT_EQ(covered[y * w + x], ring ? 1 : 0) << x << "," << y;
    }
}

TEST(FaceLayout, NarrowControlGetsNoNegativeMiddle) {
  for (const FacePiece& piece : FacePiecesTwips(90, 100)) {
    EXPECT_GE(piece.destination.width, 0);
    EXPECT_GE(piece.destination.height, 0);
  }
  // Wider than 16 bits allow: still laid out, no wrap.
  EXPECT_EQ(FacePiecesTwips(40000, 375)[2].destination.x, 39940);
}

TEST(FaceLayout, CaptionSitsTenTwipsAboveTheMiddle) {
  EXPECT_FLOAT_EQ(PlaceCaption(1635, 375).top, 80.0f);
  EXPECT_FLOAT_EQ(PlaceCaption(1635, 315).top, 50.0f);
  EXPECT_FLOAT_EQ(PlaceCaption(1635, 376).top, 80.5f);
  EXPECT_FLOAT_EQ(PlaceCaption(1635, 375).width, 1635.0f);
  EXPECT_FLOAT_EQ(PlaceCaption(1635, 375).left, 0.0f);
}

TEST(FaceGradient, ChannelsAreTheWrittenPairsTimes256) {
  using C = std::array<std::uint16_t, 3>;
  EXPECT_EQ(GradientChannels(kGradientLightText), (C{0xFF00, 0xFF00, 0xFF00}));
  EXPECT_EQ(GradientChannels(kGradientShadeText), (C{0xC600, 0xC500, 0xD700}));
  // A leading zero pair stays red.
  EXPECT_EQ(GradientChannels("&H00C5D7"), (C{0x0000, 0xC500, 0xD700}));
  EXPECT_EQ(GradientChannels("255"), (C{0x0000, 0x0000, 0xFF00}));
  for (const char* bad : {"", "&H", "&HXYZ", "&H1000000", "12a"}) EXPECT_FALSE(GradientChannels(bad)) << bad;
}

TEST(FaceGradient, OrientationAndVertices) {
  const FaceGradient light = MakeFaceGradient(false, 109, 25);
  EXPECT_EQ(light.vertex[0].red, 0xFF00);
  EXPECT_EQ(light.vertex[1].red, 0xC600);
  EXPECT_EQ(light.vertex[1].blue, 0xD700);
  EXPECT_EQ(light.vertex[1].x, 108);
  EXPECT_EQ(light.vertex[1].y, 24);
  EXPECT_EQ(light.vertex[0].x, 0);
  EXPECT_EQ(light.upperLeft, 1u);
  EXPECT_EQ(light.lowerRight, 0u);
  const FaceGradient reversed = MakeFaceGradient(true, 109, 25);
  EXPECT_EQ(reversed.vertex[0].green, 0xC500);
  EXPECT_EQ(reversed.vertex[1].green, 0xFF00);
  EXPECT_EQ(reversed.vertex[0].alpha | reversed.vertex[1].alpha, 0);
}

constexpr std::uint32_t Bgr(std::uint32_t rrggbb) {
  return (rrggbb >> 16 & 0xFF) | (rrggbb & 0xFF00) | (rrggbb & 0xFF) << 16;
}

TEST(FacePictures, TellingColoursOfEachPicture) {
  struct Probe { Face face; int x, y; std::uint32_t rgb; };
  const Probe probes[] = {
      {Face::kNormal, 30, 0, 0xE0DCC9},   {Face::kNormal, 0, 12, 0xE2DECB},  {Face::kNormal, 63, 12, 0xF0EEE0},
      {Face::kNormal, 30, 24, 0xF8F7F0},  {Face::kNormal, 30, 1, 0x003C74},  {Face::kNormal, 62, 12, 0x003C74},
      {Face::kNormal, 30, 3, 0xF3F3EE},   {Face::kNormal, 30, 22, 0xD6D0C5}, {Face::kNormal, 2, 0 + 2, 0xF3F3EE},
      {Face::kHighLight, 30, 2, 0xFFF0CF}, {Face::kHighLight, 30, 3, 0xFDD889}, {Face::kHighLight, 30, 21, 0xF8B230},
      {Face::kHighLight, 30, 22, 0xE59700}, {Face::kHighLight, 30, 23, 0x003C74},
      {Face::kSelected, 30, 2, 0xCEE7FF}, {Face::kSelected, 30, 3, 0xB1CCF2}, {Face::kSelected, 30, 21, 0x6982EE},
      {Face::kSelected, 1, 12, 0x003C74},
      {Face::kPressed, 30, 0, 0xECE9D8},  {Face::kPressed, 30, 1, 0xE0DCC9}, {Face::kPressed, 30, 2, 0x003C74},
      {Face::kPressed, 61, 12, 0x003C74}, {Face::kPressed, 30, 3, 0xD1CCC0}, {Face::kPressed, 3, 12, 0xD8D4CB},
      {Face::kPressed, 60, 12, 0xE5E4DD}, {Face::kPressed, 30, 21, 0xF2F2EE},
      {Face::kDisable, 30, 0, 0xECE9D8},  {Face::kDisable, 30, 1, 0xC9C7BA}, {Face::kDisable, 62, 12, 0xC9C7BA},
      {Face::kDisable, 30, 3, 0xF5F4EA},
  };
  for (const Probe& p : probes)
    EXPECT_EQ(FacePixel(p.face, p.x, p.y), Bgr(p.rgb)) << int(p.face) << " at " << p.x << "," << p.y;
  // The near-white columns darken downwards.
  EXPECT_GT(FacePixel(Face::kNormal, 2, 4) & 0xFF, FacePixel(Face::kNormal, 2, 20) & 0xFF);
}

TEST(FacePictures, HighLightSelectIsHighLight) {
  EXPECT_EQ(FaceRows24(Face::kHighLightSelect), FaceRows24(Face::kHighLight));
  EXPECT_NE(FaceRows24(Face::kNormal), FaceRows24(Face::kHighLight));
}

TEST(FacePictures, BmpFilesAreBottomUpAndReadBack) {
  for (int f = 0; f < kFaceCount; ++f) {
    const Face face = Face(f);
    const std::vector<std::uint8_t> rows = FaceRows24(face);
    ASSERT_EQ(rows.size(), 64u * 3 * 25);
    // First stored row is picture row 24, blue first.
    const std::uint32_t bottom = FacePixel(face, 30, 24);
    EXPECT_EQ(rows[30 * 3], bottom >> 16 & 0xFF);
    EXPECT_EQ(rows[30 * 3 + 2], bottom & 0xFF);

    const std::vector<std::uint8_t> file = FaceBmpFile(face);
    MemorySource source(file.data(), file.size());
    BmpImage image;
    ASSERT_EQ(ReadHandOffBitmap(source, image), BmpResult::kOk);
    EXPECT_EQ(image.width, 64);
    EXPECT_EQ(image.height, 25);
    EXPECT_EQ(image.pixels, rows);
  }
}

}  // namespace
}  // namespace gelmo
