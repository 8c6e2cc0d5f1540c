#include "scr/start/sample_pictures.h"

#include <cmath>

namespace gelmo {
namespace {

constexpr double kPi = 3.14159265358979323846;

// A picture of the given size in the hand-off bitmaps' rows.
BmpImage Blank(int width, int height) {
  BmpImage p;
  p.width = width;
  p.height = height;
  p.dimensionsRead = true;
  p.pixels.resize(std::size_t(PaddedRowBytes(24, width)) * std::size_t(height));
  return p;
}

// y counted from the bottom; channels 0..1
void Set(BmpImage& p, int x, int y, double r, double g, double b) {
  auto byte = [](double v) { return std::uint8_t(v <= 0 ? 0 : v >= 1 ? 255 : v * 255 + 0.5); };
  std::uint8_t* at = &p.pixels[std::size_t(y) * PaddedRowBytes(24, p.width) + std::size_t(x) * 3];
  at[0] = byte(b);
  at[1] = byte(g);
  at[2] = byte(r);
}

double Mix(double a, double b, double t) { return a + (b - a) * t; }
double Smooth(double e0, double e1, double x) {
  double t = (x - e0) / (e1 - e0);
  t = t < 0 ? 0 : t > 1 ? 1 : t;
  return t * t * (3 - 2 * t);
}

}  // namespace

BmpImage SampleLandscape(int width, int height) {
  BmpImage p = Blank(width, height);
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      const double u = x / double(p.width), v = y / double(p.height);
      // sky: orange at the horizon to deep blue at the top
      double r = Mix(1.0, 0.10, Smooth(0.25, 1.0, v));
      double g = Mix(0.55, 0.12, Smooth(0.25, 0.9, v));
      double b = Mix(0.35, 0.45, Smooth(0.2, 1.0, v));
      // the sun, with a glow
      const double d = std::hypot(u - 0.68, (v - 0.42) * 0.75);
      const double glow = std::exp(-d * 9.0) * 0.6;
      r += glow;
      g += glow * 0.8;
      b += glow * 0.3;
      if (d < 0.07) r = 1.0, g = 0.93, b = 0.7;
      // a few stars high up
      const unsigned h = unsigned(x * 73856093u ^ y * 19349663u);
      if (v > 0.7 && h % 1400 == 0) r = g = b = 0.95;
      // two rows of hills
      const double far = 0.30 + 0.05 * std::sin(u * 7.0 + 1.0) + 0.03 * std::sin(u * 17.0);
      const double near = 0.18 + 0.07 * std::sin(u * 4.0 + 2.5) + 0.02 * std::sin(u * 29.0);
      if (v < far) r = 0.35, g = 0.18, b = 0.40;
      if (v < near) {
        const double shade = 0.6 + 0.4 * v / near;
        r = 0.12 * shade, g = 0.25 * shade, b = 0.22 * shade;
      }
      Set(p, x, y, r, g, b);
    }
  }
  return p;
}

BmpImage SamplePlasma(int size) {
  BmpImage p = Blank(size, size);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const double u = 2 * kPi * x / p.width, v = 2 * kPi * y / p.height;
      const double a = std::sin(u * 2) + std::sin(v * 3) + std::sin(u + v) + std::sin(2 * u - v);
      const double t = (a + 4) / 8;  // 0..1
      Set(p, x, y, 0.10 + 0.35 * t * t, 0.25 + 0.55 * t, 0.45 + 0.45 * (1 - t));
    }
  return p;
}

}  // namespace gelmo
