#include <GL/osmesa.h>

#include "renderer/gl.h"
#include "tests/common/gl_test_context.h"

namespace gelmo::testing {
namespace {

class OsMesaContext final : public TestGlContext {
 public:
  OsMesaContext(int w, int h) : buffer_(std::size_t(w) * h * 4) {
    width = w;
    height = h;
    context_ = OSMesaCreateContextExt(OSMESA_RGBA, 16, 0, 0, nullptr);
    if (context_) OSMesaMakeCurrent(context_, buffer_.data(), GL_UNSIGNED_BYTE, w, h);
  }
  ~OsMesaContext() override {
    if (context_) OSMesaDestroyContext(context_);
  }
  std::vector<std::uint8_t> ReadFrame() override { return ReadCurrentBuffer(); }

 private:
  OSMesaContext context_ = nullptr;
  std::vector<std::uint8_t> buffer_;
};

}  // namespace

std::unique_ptr<TestGlContext> MakeTestGlContext(int width, int height) {
  return std::make_unique<OsMesaContext>(width, height);
}

void (*FindGlFunction(const char* name))() { return OSMesaGetProcAddress(name); }

}  // namespace gelmo::testing
