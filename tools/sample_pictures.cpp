// Writes the two sample hand-off bitmaps that the run command uses when no
// saver has written any yet:
//   sample_pictures OBJECT.bmp BACKGROUND.bmp
// The object picture is an evening landscape; the background a seamless
// plasma tile (its period divides the tile, so the 2 x 2 tiling shows no seam).
#include <cmath>
#include <cstdio>
#include <vector>

#include "scr/forms/bmp_writer.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Picture {
  int width, height;
  std::vector<std::uint8_t> rows;
  Picture(int w, int h) : width(w), height(h), rows(std::size_t(gelmo::Bmp24RowBytes(w)) * h) {}
  // y counted from the bottom; channels 0..1
  void Set(int x, int y, double r, double g, double b) {
    auto byte = [](double v) { return std::uint8_t(v <= 0 ? 0 : v >= 1 ? 255 : v * 255 + 0.5); };
    std::uint8_t* p = &rows[std::size_t(y) * gelmo::Bmp24RowBytes(width) + std::size_t(x) * 3];
    p[0] = byte(b);
    p[1] = byte(g);
    p[2] = byte(r);
  }
};

double Mix(double a, double b, double t) { return a + (b - a) * t; }
double Smooth(double e0, double e1, double x) {
  double t = (x - e0) / (e1 - e0);
  t = t < 0 ? 0 : t > 1 ? 1 : t;
  return t * t * (3 - 2 * t);
}

Picture Landscape() {
  Picture p(640, 480);
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
      p.Set(x, y, r, g, b);
    }
  }
  return p;
}

Picture Plasma() {
  Picture p(256, 256);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const double u = 2 * kPi * x / p.width, v = 2 * kPi * y / p.height;
      const double a = std::sin(u * 2) + std::sin(v * 3) + std::sin(u + v) + std::sin(2 * u - v);
      const double t = (a + 4) / 8;  // 0..1
      p.Set(x, y, 0.10 + 0.35 * t * t, 0.25 + 0.55 * t, 0.45 + 0.45 * (1 - t));
    }
  return p;
}

bool Save(const char* path, const Picture& picture) {
  const std::vector<std::uint8_t> file = gelmo::EncodeBmp24(picture.width, picture.height, picture.rows);
  std::FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  const bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s OBJECT.bmp BACKGROUND.bmp\n", argv[0]);
    return 2;
  }
  if (!Save(argv[1], Landscape()) || !Save(argv[2], Plasma())) {
    std::perror("sample_pictures");
    return 1;
  }
  return 0;
}
