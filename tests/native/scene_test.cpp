// The animation's numbers as pure functions of time.
#include <gtest/gtest.h>

#include <cmath>

#include "renderer/scene.h"

namespace gelmo {
namespace {

TEST(Scene, AnglesAtGivenTimes) {
  SceneAngles a = SceneAnglesAt(0.0f);
  EXPECT_EQ(a.backdrop, 0.0f);
  EXPECT_EQ(a.tiltX, 0.0f);
  EXPECT_EQ(a.tiltY, 0.0f);
  EXPECT_EQ(a.twist, 0.0f);

  a = SceneAnglesAt(45.0f);
  EXPECT_FLOAT_EQ(a.backdrop, -360.0f);  // one clockwise turn in 45 seconds

  const float t = 3.7f;
  a = SceneAnglesAt(t);
  EXPECT_FLOAT_EQ(a.backdrop, -8.0f * 3.7f);
  EXPECT_FLOAT_EQ(a.tiltX, float(5 * std::sin(0.25 * double(t))));
  // 0.1 and -0.45 are single-precision constants widened to double
  EXPECT_EQ(a.tiltY, float(5 * std::sin(double(0.1f) * double(t))));
  EXPECT_EQ(a.twist, float(30 * std::sin(double(-0.45f) * double(t))));
}

TEST(Scene, HeightsAtTimeZeroAreFlatAlongTwoEdges) {
  UpdateHeights(0.0f);
  for (int i = 0; i < kSheetPoints; ++i) {
    EXPECT_EQ(g_heights[0][i], 0.0f);
    EXPECT_EQ(g_heights[i][0], 0.0f);
  }
  EXPECT_FLOAT_EQ(g_heights[5][3], float(std::sin(1.5) * std::sin(1.5) * 0.35));
  EXPECT_GT(g_heights[5][3], 0.34f);
}

TEST(Scene, HeightsFollowTheTravellingWaves) {
  for (float t : {0.5f, 12.25f, 1000.0f}) {
    UpdateHeights(t);
    float lo = 1, hi = -1;
    for (int r = 0; r < kSheetPoints; ++r)
      for (int c = 0; c < kSheetPoints; ++c) {
        const double want = std::sin(0.3 * r + 0.9 * double(t)) * std::sin(0.5 * c + 0.6 * double(t)) * 0.35;
        EXPECT_EQ(g_heights[r][c], float(want)) << r << "," << c << " t=" << t;
        lo = std::min(lo, g_heights[r][c]);
        hi = std::max(hi, g_heights[r][c]);
      }
    EXPECT_GE(lo, -0.35f);
    EXPECT_LE(hi, 0.35f);
  }
}

TEST(Scene, GridPointsSpanTheSheetAndItsTexture) {
  for (auto& row : g_heights)
    for (float& h : row) h = 0.0f;
  SheetVertex v = SheetGridPoint(0, 0);
  EXPECT_EQ(v.x, -2.0f);
  EXPECT_EQ(v.y, -2.0f);
  EXPECT_EQ(v.s, 0.0f);
  EXPECT_EQ(v.t, 0.0f);
  EXPECT_FLOAT_EQ(v.alpha, 0.7f);  // a flat sheet is 70% opaque everywhere
  v = SheetGridPoint(32, 32);
  EXPECT_EQ(v.x, 2.0f);
  EXPECT_EQ(v.y, 2.0f);
  EXPECT_EQ(v.s, 1.0f);
  EXPECT_EQ(v.t, 1.0f);
  v = SheetGridPoint(8, 24);  // rows run along x, columns along y
  EXPECT_EQ(v.x, -1.0f);
  EXPECT_EQ(v.y, 1.0f);
  EXPECT_EQ(v.s, 0.25f);
  EXPECT_EQ(v.t, 0.75f);

  g_heights[3][4] = 0.35f;
  g_heights[4][3] = -0.35f;
  EXPECT_FLOAT_EQ(SheetGridPoint(3, 4).alpha, 1.05f);
  EXPECT_FLOAT_EQ(SheetGridPoint(3, 4).z, 0.35f);
  EXPECT_FLOAT_EQ(SheetGridPoint(4, 3).alpha, 0.35f);
}

}  // namespace
}  // namespace gelmo
