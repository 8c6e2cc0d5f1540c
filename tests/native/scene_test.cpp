// The animation's numbers as pure functions of time, and the fill mode's
// layout of one viewport per monitor.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "renderer/scene.h"

namespace gelmo {
namespace {

TEST(Scene, AnglesAtGivenTimes) {
  SceneAngles a = SceneAnglesAt(0.0f);
  EXPECT_EQ(a.backdrop, 0.0f);
  EXPECT_EQ(a.tiltX, 0.0f);
  EXPECT_EQ(a.tiltY, 0.0f);
  EXPECT_EQ(a.twist, 0.0f);

  EXPECT_FLOAT_EQ(SceneAnglesAt(22.5).backdrop, -180.0f);  // one clockwise turn in 45 seconds
  EXPECT_NEAR(SceneAnglesAt(45.0).backdrop, 0.0f, 1e-4f);

  const float t = 3.7f;
  a = SceneAnglesAt(t);
  EXPECT_FLOAT_EQ(a.backdrop, -8.0f * 3.7f);
  EXPECT_FLOAT_EQ(a.tiltX, float(5 * std::sin(0.25 * double(t))));
  // 0.1 and -0.45 are single-precision constants widened to double
  EXPECT_EQ(a.tiltY, float(5 * std::sin(double(0.1f) * double(t))));
  EXPECT_EQ(a.twist, float(30 * std::sin(double(-0.45f) * double(t))));
}

// Left running for a week, frames 16.7 ms apart still advance the clock and
// the picture by 16.7 ms each, as they do in the first minute.
TEST(Scene, TheClockKeepsItsFineStepsAfterAWeek) {
  for (std::int64_t frequency : {std::int64_t(10'000'000), std::int64_t(1'000'000'000), std::int64_t(3'579'545)}) {
    const std::int64_t start = 123'456'789, week = start + 7 * 86400 * frequency;
    const std::int64_t frame = frequency * 167 / 10'000;  // 16.7 ms
    const double t0 = SecondsBetween(start, week, frequency), t1 = SecondsBetween(start, week + frame, frequency);
    EXPECT_NEAR(t0, 7 * 86400.0, 1e-6) << frequency;
    EXPECT_NEAR(t1 - t0, 0.0167, 1e-4) << frequency;
    const SceneAngles a0 = SceneAnglesAt(t0), a1 = SceneAnglesAt(t1);
    EXPECT_NEAR(a1.backdrop - a0.backdrop, -8.0 * 0.0167, 1e-3) << frequency;
    EXPECT_NE(a1.twist, a0.twist);
  }
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

TEST(FillMode, SwitchIsAWordOfItsOwnInAnyCase) {
  EXPECT_TRUE(HasSwitchWord("/fill", "/fill"));
  EXPECT_TRUE(HasSwitchWord("/FILL", "/fill"));
  EXPECT_TRUE(HasSwitchWord("x\t/Fill  ", "/fill"));
  EXPECT_FALSE(HasSwitchWord("", "/fill"));
  EXPECT_FALSE(HasSwitchWord("/fills", "/fill"));
  EXPECT_FALSE(HasSwitchWord("a/fill", "/fill"));
}

TEST(FillMode, OneViewportPerMonitorInTheWindowsGlCoordinates) {
  // A primary 1920 x 1080 monitor, a portrait one left of it and lower down,
  // and a window over the virtual screen that both make.
  const ScreenRect window = {-1080, 0, 3000, 1920};
  const std::vector<Viewport> views = MonitorViewports(window, {{0, 0, 1920, 1080}, {-1080, 0, 1080, 1920}});
  EXPECT_EQ(views, (std::vector<Viewport>{{1080, 840, 1920, 1080}, {0, 0, 1080, 1920}}));
  // Monitors outside the window are left out; with none left, the window is the viewport.
  EXPECT_EQ(MonitorViewports({0, 0, 800, 600}, {{0, 0, 800, 600}, {800, 0, 800, 600}}),
            (std::vector<Viewport>{{0, 0, 800, 600}}));
  EXPECT_EQ(MonitorViewports({0, 0, 800, 600}, {}), (std::vector<Viewport>{{0, 0, 800, 600}}));
}

TEST(FillMode, MonitorsAreNumberedInLayoutOrderAndEachAfterTheFirstHasItsOwnBitmap) {
  // A portrait monitor left of the primary, two more right of it, one above the other.
  const std::vector<ScreenRect> desk = {{1920, 600, 1280, 1024}, {-1080, -400, 1080, 1920}, {0, 0, 1920, 1080},
                                        {1920, -424, 1280, 1024}};
  const std::vector<ScreenRect> ordered = InLayoutOrder(desk);
  ASSERT_EQ(ordered.size(), 4u);
  EXPECT_EQ(ordered[0].left, 0);
  EXPECT_EQ(ordered[1].left, -1080);
  EXPECT_EQ(ordered[2].top, -424);
  EXPECT_EQ(ordered[3].top, 600);
  for (auto [first, index, path] : {std::tuple{"C:\\Gelmo01.bmp", 0, "C:\\Gelmo01.bmp"},
                                    {"C:\\Gelmo01.bmp", 1, "C:\\Gelmo01-2.bmp"},
                                    {"C:\\Gelmo01.BMP", 11, "C:\\Gelmo01-12.BMP"},
                                    {"C:\\a.b\\Gelmo01", 2, "C:\\a.b\\Gelmo01-3"}})
    EXPECT_EQ(MonitorBitmapPath(first, std::size_t(index)), path);
}

TEST(FillMode, EveryMonitorSeesTheSceneUprightWithTheBackdropInEveryCorner) {
  constexpr double kPi = 3.14159265358979323846;
  auto halfHeight = [&](int w, int h) { return 5 * std::tan(FieldOfViewFor(w, h) / 2 * kPi / 180); };
  EXPECT_NEAR(FieldOfViewFor(1024, 768), 55.0, 1e-9);  // the default window's own view
  EXPECT_NEAR(FieldOfViewFor(1600, 1200), 55.0, 1e-9);
  // A portrait monitor sees across its width what the landscape one sees across its height.
  EXPECT_NEAR(halfHeight(1080, 1920) * 1080 / 1920, halfHeight(1920, 1080), 1e-9);
  for (auto [w, h] : {std::pair{1920, 1080}, {1080, 1920}, {2560, 1080}, {1280, 1024}, {3840, 2160}, {1, 0}}) {
    const double ht = halfHeight(w, h), wd = ht * w / std::max(h, 1);
    // the turning 10 x 10 backdrop covers what lies within 5 of the axis
    EXPECT_LT(std::hypot(wd, ht), 5.0) << w << "x" << h;
    EXPECT_GT(std::min(wd, ht), 1.8) << w << "x" << h << ": the sheet is 4 across";
  }
}

}  // namespace
}  // namespace gelmo
