// A current GL context with a colour and a 16-bit depth buffer for the
// renderer's tests: OSMesa natively, a WGL window under Wine.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "renderer/gl.h"

namespace gelmo::testing {

class TestGlContext {
 public:
  virtual ~TestGlContext() = default;
  // The frame just drawn, RGBA, bottom row first (glReadPixels order).
  virtual std::vector<std::uint8_t> ReadFrame() = 0;
  int width = 0;
  int height = 0;

 protected:
  // The current read buffer, RGBA rows bottom first.
  std::vector<std::uint8_t> ReadCurrentBuffer() const {
    std::vector<std::uint8_t> rgba(std::size_t(width) * height * 4);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
  }
};

std::unique_ptr<TestGlContext> MakeTestGlContext(int width, int height);
// A GL function of the current context by name; null where it has none.
void (*FindGlFunction(const char* name))();

}  // namespace gelmo::testing
