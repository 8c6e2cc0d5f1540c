// A current GL context with a colour and a 16-bit depth buffer for the
// renderer's tests: OSMesa natively, a WGL window under Wine.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace gelmo::testing {

class TestGlContext {
 public:
  virtual ~TestGlContext() = default;
  // The frame just drawn, RGBA, bottom row first (glReadPixels order).
  virtual std::vector<std::uint8_t> ReadFrame() = 0;
  int width = 0;
  int height = 0;
};

std::unique_ptr<TestGlContext> MakeTestGlContext(int width, int height);

}  // namespace gelmo::testing
