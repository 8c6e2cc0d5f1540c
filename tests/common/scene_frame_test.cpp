// Whole frames of the scene read back from a real GL: the backdrop's tiling,
// orientation and turn, the sheet's height-dependent alpha, and the untextured
// look when the hand-off bitmaps are missing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "renderer/gl.h"
#include "renderer/scene.h"
#include "tests/common/bmp_builder.h"
#include "tests/common/files.h"
#include "tests/common/gl_test_context.h"

namespace gelmo {
namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr double kPi = 3.14159265358979323846;

struct Rgb { int r, g, b; };

// The backdrop picture: four quadrants, bottom-left red, bottom-right green,
// top-left blue, top-right yellow (x and y counted from the bottom-left).
constexpr int kTile = 64;
std::uint32_t QuadrantColour(int x, int y) {
  const bool right = x >= kTile / 2, top = y >= kTile / 2;
  if (!top) return right ? 0x00FF00 : 0xFF0000;
  return right ? 0xFFFF00 : 0x0000FF;
}

// Column-major 4 x 4 matrices, as GL builds them.
struct Mat4 {
  double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  Mat4 operator*(const Mat4& o) const {
    Mat4 r;
    for (int c = 0; c < 4; ++c)
      for (int row = 0; row < 4; ++row) {
        double v = 0;
        for (int k = 0; k < 4; ++k) v += m[k * 4 + row] * o.m[c * 4 + k];
        r.m[c * 4 + row] = v;
      }
    return r;
  }
};
Mat4 Rotate(double degrees, int axis) {
  const double a = degrees * kPi / 180, c = std::cos(a), s = std::sin(a);
  Mat4 r;
  const int i = (axis + 1) % 3, j = (axis + 2) % 3;
  r.m[i * 4 + i] = c;
  r.m[j * 4 + j] = c;
  r.m[i * 4 + j] = s;
  r.m[j * 4 + i] = -s;
  return r;
}

class SceneFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    context_ = testing::MakeTestGlContext(kWidth, kHeight);
    g_clientWidth = kWidth;
    g_clientHeight = kHeight;
  }
  void TearDown() override {
    g_backdropTexture.Release();
    g_sheetTexture.Release();
    g_nextSheetTexture.Release();
    g_sheetFade = 0.0f;
    g_monitorSheetTextures.clear();
    g_changingMonitor = 0;
    g_multitexture = {};
    testing::RemoveFile(kBackdropBitmapPath);
    testing::RemoveFile(kSheetBitmapPath);
    for (std::size_t monitor = 1; monitor < 4; ++monitor) testing::RemoveFile(MonitorBitmapPath(kSheetBitmapPath, monitor));
  }

  void Init() {
    ASSERT_TRUE(InitScene());
  }
  void Render(float t, const std::vector<Viewport>* viewports = nullptr) {
    g_time = t;
    if (viewports)
      DrawSceneInViewports(*viewports);
    else
      DrawScene();
    frame_ = context_->ReadFrame();
    if (const char* dump = std::getenv("GELMO_DUMP_FRAME")) {
      char name[256];
      std::snprintf(name, sizeof name, "%s-%g.ppm", dump, double(t));
      std::FILE* f = std::fopen(name, "wb");
      std::fprintf(f, "P6 %d %d 255\n", kWidth, kHeight);
      for (int y = kHeight - 1; y >= 0; --y)
        for (int x = 0; x < kWidth; ++x) std::fwrite(&frame_[(std::size_t(y) * kWidth + x) * 4], 1, 3, f);
      std::fclose(f);
    }
  }
  Rgb At(int x, int y) const {
    const std::uint8_t* p = &frame_[(std::size_t(y) * kWidth + x) * 4];
    return {p[0], p[1], p[2]};
  }

  // Where a point of the sheet, before its transforms, lands on the screen.
  void ProjectSheetPoint(float t, double x, double y, double z, double& px, double& py) const {
    const SceneAngles a = SceneAnglesAt(t);
    Mat4 model;
    model.m[14] = -5;  // the camera's translation
    Mat4 scale;
    scale.m[10] = 3;
    Mat4 m = model * Rotate(a.tiltX, 0) * Rotate(a.tiltY, 1) * Rotate(a.twist, 2) * scale;
    const double ex = m.m[0] * x + m.m[4] * y + m.m[8] * z + m.m[12];
    const double ey = m.m[1] * x + m.m[5] * y + m.m[9] * z + m.m[13];
    const double ez = m.m[2] * x + m.m[6] * y + m.m[10] * z + m.m[14];
    const double f = 1 / std::tan(27.5 * kPi / 180), aspect = double(kWidth) / kHeight;
    px = (f / aspect * ex / -ez + 1) / 2 * kWidth;
    py = (f * ey / -ez + 1) / 2 * kHeight;
  }

  void ExpectBackdrop(float t);

  std::unique_ptr<testing::TestGlContext> context_;
  std::vector<std::uint8_t> frame_;
};

// Every backdrop pixel outside the sheet shows the texel that a 2 x 2 tiling of
// the upright picture, turned clockwise by 8 degrees a second, puts there.
void SceneFrame::ExpectBackdrop(float t) {
  UpdateHeights(t);
  double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
  for (int r = 0; r < kSheetPoints; ++r)
    for (int c = 0; c < kSheetPoints; ++c) {
      const SheetVertex v = SheetGridPoint(r, c);
      double px, py;
      ProjectSheetPoint(t, v.x, v.y, v.z, px, py);
      minX = std::min(minX, px), maxX = std::max(maxX, px);
      minY = std::min(minY, py), maxY = std::max(maxY, py);
    }
  const double f = 1 / std::tan(27.5 * kPi / 180), aspect = double(kWidth) / kHeight;
  const double turn = -8.0 * t * kPi / 180;
  int checked = 0, wrong = 0;
  for (int y = 2; y < kHeight; y += 7)
    for (int x = 2; x < kWidth; x += 7) {
      if (x > minX - 4 && x < maxX + 4 && y > minY - 4 && y < maxY + 4) continue;
      // the ray through the pixel meets the backdrop's plane z = 0 here
      const double wx = ((x + 0.5) / kWidth * 2 - 1) * 5 * aspect / f;
      const double wy = ((y + 0.5) / kHeight * 2 - 1) * 5 / f;
      const double u = (wx * std::cos(turn) + wy * std::sin(turn)) / 5;
      const double v = (-wx * std::sin(turn) + wy * std::cos(turn)) / 5;
      const double fs = (u + 1 - std::floor(u + 1)) * kTile, ft = (v + 1 - std::floor(v + 1)) * kTile;
      auto nearEdge = [](double texel) {
        const double m = std::fmod(texel, kTile / 2.0);
        return m < 3 || m > kTile / 2.0 - 3;
      };
      if (nearEdge(fs) || nearEdge(ft)) continue;
      const std::uint32_t want = QuadrantColour(int(fs), int(ft));
      const Rgb got = At(x, y);
      ++checked;
      if (std::abs(got.r - int(want >> 16)) > 12 || std::abs(got.g - int(want >> 8 & 0xFF)) > 12 ||
          std::abs(got.b - int(want & 0xFF)) > 12) {
        if (++wrong <= 5)
          ADD_FAILURE() << "t=" << t << " pixel " << x << "," << y << " is " << got.r << ","
                        << got.g << "," << got.b << ", want " << std::hex << want;
      }
    }
  EXPECT_GT(checked, 1000) << "t=" << t;
  EXPECT_EQ(wrong, 0) << "t=" << t << " of " << checked;
}

TEST_F(SceneFrame, BackdropIsTiledTwiceEachWayUprightAndTurnsClockwise) {
  testing::BmpLayout s;
  s.width = kTile;
  s.height = kTile;
  ASSERT_TRUE(testing::WriteBytes(kBackdropBitmapPath, testing::Bmp24(s, QuadrantColour)));
  Init();
  for (float t : {0.0f, 5.0f, 11.25f, 45.0f}) {  // 0, 40, 90 and 360 degrees
    Render(t);
    ExpectBackdrop(t);
  }
  // A change of picture draws the sheet twice, darkened and lit by the fade;
  // the backdrop of the frames that follow stays as it was.
  g_nextSheetTexture.Create("next");
  g_sheetFade = 0.25f;
  for (float t : {5.0f, 5.05f}) {
    Render(t);
    ExpectBackdrop(t);
  }
}

// A change of picture halfway: red fading into blue shows, pixel for pixel,
// what a sheet of their half-and-half mix shows, also where the waves fold
// the sheet over itself.
TEST_F(SceneFrame, AFadeShowsTheMixOfThePicturesOnEveryLayerOfTheSheet) {
  testing::BmpLayout s;
  ASSERT_TRUE(testing::WriteBytes(kBackdropBitmapPath, testing::Bmp24Solid(s, 0x406020)));
  ASSERT_TRUE(testing::WriteBytes(kSheetBitmapPath, testing::Bmp24Solid(s, 0xFF0000)));
  Init();
  g_multitexture.Load(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), testing::FindGlFunction);
  ASSERT_NE(g_multitexture.activeTexture, nullptr) << "the test GL has no multitexture";
  const std::string next = "gelmo-next-sheet.bmp";
  ASSERT_TRUE(testing::WriteBytes(next, testing::Bmp24Solid(s, 0x0000FF)));
  ASSERT_TRUE(g_nextSheetTexture.LoadBitmap(next.c_str()));
  testing::RemoveFile(next);
  for (float t : {0.0f, 2.5f}) {
    g_sheetFade = 0.5f;
    ASSERT_TRUE(testing::WriteBytes(kSheetBitmapPath, testing::Bmp24Solid(s, 0xFF0000)));
    ASSERT_TRUE(g_sheetTexture.LoadBitmap(kSheetBitmapPath));
    Render(t);
    const std::vector<std::uint8_t> fading = frame_;
    g_sheetFade = 0.0f;
    ASSERT_TRUE(testing::WriteBytes(kSheetBitmapPath, testing::Bmp24Solid(s, 0x800080)));
    ASSERT_TRUE(g_sheetTexture.LoadBitmap(kSheetBitmapPath));
    Render(t);
    int wrong = 0;
    for (std::size_t i = 0; i < frame_.size(); i += 4)
      for (int c = 0; c < 3; ++c)
        if (std::abs(int(fading[i + c]) - int(frame_[i + c])) > 3 && ++wrong <= 5)
          ADD_FAILURE() << "t=" << t << " pixel " << i / 4 % kWidth << "," << i / 4 / kWidth << " channel " << c
                        << ": " << int(fading[i + c]) << " fading, " << int(frame_[i + c]) << " mixed";
    EXPECT_EQ(wrong, 0) << "t=" << t;
  }
}

TEST_F(SceneFrame, SheetAlphaFollowsItsHeight) {
  testing::BmpLayout s;
  ASSERT_TRUE(testing::WriteBytes(kBackdropBitmapPath, testing::Bmp24Solid(s, 0x000000)));
  // no object bitmap: the sheet is white, so each pixel shows its alpha over black
  Init();
  for (float t : {0.0f, 2.5f}) {
    Render(t);
    UpdateHeights(t);
    auto alphaOf = [](int r, int c) { return std::min(1.0, g_heights[r][c] + 0.7); };
    double px[kSheetPoints][kSheetPoints], py[kSheetPoints][kSheetPoints];
    for (int r = 0; r < kSheetPoints; ++r)
      for (int c = 0; c < kSheetPoints; ++c) {
        const SheetVertex v = SheetGridPoint(r, c);
        ProjectSheetPoint(t, v.x, v.y, v.z, px[r][c], py[r][c]);
      }
    // The sheet's triangles on the screen, in drawing order.
    struct Tri { int p[3][2]; double cx = 0, cy = 0, area = 0; };
    std::vector<Tri> tris;
    for (int a = 0; a < kSheetPoints - 1; ++a)
      for (int i = 0; i < kSheetPoints - 1; ++i)
        for (const auto& k : {Tri{{{a, i}, {a + 1, i}, {a, i + 1}}}, Tri{{{a + 1, i}, {a, i + 1}, {a + 1, i + 1}}}}) {
          Tri tri = k;
          double x[3], y[3];
          for (int j = 0; j < 3; ++j) x[j] = px[tri.p[j][0]][tri.p[j][1]], y[j] = py[tri.p[j][0]][tri.p[j][1]];
          tri.cx = (x[0] + x[1] + x[2]) / 3;
          tri.cy = (y[0] + y[1] + y[2]) / 3;
          tri.area = std::abs((x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0])) / 2;
          tris.push_back(tri);
        }
    auto contains = [&](const Tri& tri, double x, double y) {
      double X[3], Y[3];
      for (int j = 0; j < 3; ++j) X[j] = px[tri.p[j][0]][tri.p[j][1]], Y[j] = py[tri.p[j][0]][tri.p[j][1]];
      const double d = (Y[1] - Y[2]) * (X[0] - X[2]) + (X[2] - X[1]) * (Y[0] - Y[2]);
      if (std::abs(d) < 1e-9) return false;
      const double l1 = ((Y[1] - Y[2]) * (x - X[2]) + (X[2] - X[1]) * (y - Y[2])) / d;
      const double l2 = ((Y[2] - Y[0]) * (x - X[2]) + (X[0] - X[2]) * (y - Y[2])) / d;
      return l1 > -0.1 && l2 > -0.1 && 1 - l1 - l2 > -0.1;
    };
    // Each triangle's centre shows the mean of its corners' alphas, unless the
    // tall waves fold another part of the sheet over it.
    int checked = 0;
    for (const Tri& tri : tris) {
      if (tri.area < 40 || tri.cx < 0 || tri.cy < 0 || tri.cx >= kWidth || tri.cy >= kHeight) continue;
      bool overlapped = false;
      for (const Tri& other : tris)
        if (&other != &tri && contains(other, tri.cx, tri.cy)) overlapped = true;
      if (overlapped) continue;
      const double want = (alphaOf(tri.p[0][0], tri.p[0][1]) + alphaOf(tri.p[1][0], tri.p[1][1]) +
                           alphaOf(tri.p[2][0], tri.p[2][1])) / 3 * 255;
      const Rgb got = At(int(tri.cx), int(tri.cy));
      EXPECT_NEAR(got.r, want, 8) << "t=" << t << " triangle at " << tri.p[0][0] << "," << tri.p[0][1];
      EXPECT_EQ(got.r, got.g);
      EXPECT_EQ(got.g, got.b);
      ++checked;
    }
    EXPECT_GT(checked, 500) << "t=" << t;
  }
  // a crest (alpha clamped to 1) and a trough (alpha about 0.36) at t = 0
  Render(0.0f);
  double px, py;
  ProjectSheetPoint(0.0f, 5 * 0.125 - 2, 3 * 0.125 - 2, g_heights[5][3], px, py);
  EXPECT_GE(At(int(px), int(py)).r, 250);
  ProjectSheetPoint(0.0f, 5 * 0.125 - 2, 9 * 0.125 - 2, g_heights[5][9], px, py);
  EXPECT_NEAR(At(int(px), int(py)).r, (g_heights[5][9] + 0.7) * 255, 8);
}

// Fill mode: a wide and a portrait monitor side by side.  In each, the sheet
// stands at the centre and the backdrop reaches every corner, at the turns
// where its corners swing furthest in.
TEST_F(SceneFrame, EveryMonitorViewportShowsTheWholeSceneCornerToCorner) {
  testing::BmpLayout s;
  s.width = kTile;
  s.height = kTile;
  ASSERT_TRUE(testing::WriteBytes(kBackdropBitmapPath, testing::Bmp24(s, QuadrantColour)));
  Init();  // no sheet bitmap: a white sheet over the coloured quadrants
  const std::vector<Viewport> monitors = {{0, 100, 624, 351}, {624, 0, 400, 711}};
  for (float t : {0.0f, 5.625f, 16.875f}) {  // the backdrop turned 0, 45 and 135 degrees
    Render(t, &monitors);
    for (const Viewport& m : monitors) {
      int black = 0;
      for (int y = m.y; y < m.y + m.height; y += 2)
        for (int x = m.x; x < m.x + m.width; x += 2) {
          const Rgb p = At(x, y);
          black += p.r + p.g + p.b < 30;
        }
      EXPECT_EQ(black, 0) << "t=" << t << " viewport at " << m.x << "," << m.y;
      // every quadrant colour lacks one channel; the white sheet over it does not
      const Rgb centre = At(m.x + m.width / 2, m.y + m.height / 2);
      EXPECT_GT(std::min({centre.r, centre.g, centre.b}), 80) << "t=" << t << " viewport at " << m.x;
    }
    EXPECT_LT(At(300, 50).r + At(300, 50).g + At(300, 50).b, 30) << "outside every monitor: cleared";
  }
}

// A picture per monitor: each viewport's sheet shows its monitor's picture, a
// monitor whose bitmap is missing the first monitor's; a change fades in on
// its own monitor only, and a change of the first also on those sharing it.
TEST_F(SceneFrame, EachMonitorShowsItsOwnPictureAndItsOwnChange) {
  testing::BmpLayout s;
  ASSERT_TRUE(testing::WriteBytes(kBackdropBitmapPath, testing::Bmp24Solid(s, 0x404040)));
  ASSERT_TRUE(testing::WriteBytes(kSheetBitmapPath, testing::Bmp24Solid(s, 0xFF0000)));
  ASSERT_TRUE(testing::WriteBytes(MonitorBitmapPath(kSheetBitmapPath, 1), testing::Bmp24Solid(s, 0x0000FF)));
  Init();
  LoadMonitorSheets(1);
  EXPECT_TRUE(g_monitorSheetTextures.empty()) << "one monitor: no texture more";
  LoadMonitorSheets(3);  // the third monitor's bitmap is missing
  ASSERT_EQ(g_monitorSheetTextures.size(), 2u);
  ASSERT_TRUE(testing::WriteBytes("gelmo-next-sheet.bmp", testing::Bmp24Solid(s, 0x00FF00)));
  ASSERT_TRUE(g_nextSheetTexture.LoadBitmap("gelmo-next-sheet.bmp"));
  testing::RemoveFile("gelmo-next-sheet.bmp");
  const std::vector<Viewport> monitors = {{0, 0, 340, kHeight}, {340, 0, 340, kHeight}, {680, 0, 344, kHeight}};
  // The strongest channel at a viewport's centre.
  auto colour = [&](const Viewport& v) {
    const Rgb p = At(v.x + v.width / 2, v.y + v.height / 2);
    return p.r > p.g && p.r > p.b ? 'r' : p.g > p.b ? 'g' : 'b';
  };
  auto shown = [&](std::size_t changing, float fade) {
    g_changingMonitor = changing;
    g_sheetFade = fade;
    Render(1.0f, &monitors);
    return std::string{colour(monitors[0]), colour(monitors[1]), colour(monitors[2])};
  };
  EXPECT_EQ(shown(0, 0.0f), "rbr");
  EXPECT_EQ(shown(1, 0.95f), "rgr") << "the second monitor's change";
  EXPECT_EQ(shown(2, 0.95f), "rbg") << "the third's, its first picture of its own";
  EXPECT_EQ(shown(0, 0.95f), "gbg") << "the first's, with the one sharing its picture";
}

TEST_F(SceneFrame, MissingBitmapsGiveUntexturedWhiteSurfaces) {
  testing::RemoveFile(kBackdropBitmapPath);
  testing::RemoveFile(kSheetBitmapPath);
  Init();
  EXPECT_NE(g_backdropTexture.textureId, 0u);  // named, but without an image
  EXPECT_NE(g_sheetTexture.textureId, 0u);
  Render(3.0f);
  int notWhite = 0;
  for (int y = 0; y < kHeight; y += 3)
    for (int x = 0; x < kWidth; x += 3) {
      const Rgb p = At(x, y);
      notWhite += p.r < 254 || p.g < 254 || p.b < 254;
    }
  EXPECT_EQ(notWhite, 0);
}

TEST_F(SceneFrame, FrameLeavesTheCameraMatrixAsItFoundIt) {
  Init();
  GLdouble before[16], after[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, before);
  Render(7.0f);
  glGetDoublev(GL_MODELVIEW_MATRIX, after);
  for (int i = 0; i < 16; ++i) EXPECT_DOUBLE_EQ(before[i], after[i]) << i;
  EXPECT_DOUBLE_EQ(before[14], -5.0);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
}

TEST_F(SceneFrame, ZeroHeightResizeKeepsAViewportOfOneRow) {
  Init();
  ResizeViewport(640, 0);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 640);
  EXPECT_EQ(viewport[3], 1);
}

}  // namespace
}  // namespace gelmo
