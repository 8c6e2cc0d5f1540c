#include <windows.h>

#include "renderer/gl.h"
#include "renderer/renderer_win.h"
#include "tests/common/gl_test_context.h"

namespace gelmo::testing {
namespace {

constexpr char kClass[] = "GelmoTestGL";

class WglContext final : public TestGlContext {
 public:
  WglContext(int w, int h) {
    width = w;
    height = h;
    static bool registered = false;
    if (!registered) {
      WNDCLASSA wc = {};
      wc.style = CS_OWNDC;
      wc.lpfnWndProc = DefWindowProcA;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = kClass;
      registered = RegisterClassA(&wc) != 0;
    }
    window_ = CreateWindowExA(0, kClass, "test", WS_POPUP | WS_VISIBLE, 0, 0, w, h, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    dc_ = GetDC(window_);
    SetupPixelFormat(dc_);  // the renderer's own pixel format
    glrc_ = wglCreateContext(dc_);
    wglMakeCurrent(dc_, glrc_);
  }
  ~WglContext() override {
    wglMakeCurrent(dc_, nullptr);
    wglDeleteContext(glrc_);
    DestroyWindow(window_);
  }
  std::vector<std::uint8_t> ReadFrame() override {
    glReadBuffer(GL_BACK);  // the frame is drawn into the back buffer
    return ReadCurrentBuffer();
  }

 private:
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
  HGLRC glrc_ = nullptr;
};

}  // namespace

std::unique_ptr<TestGlContext> MakeTestGlContext(int width, int height) {
  return std::make_unique<WglContext>(width, height);
}

void (*FindGlFunction(const char* name))() { return reinterpret_cast<void (*)()>(wglGetProcAddress(name)); }

}  // namespace gelmo::testing
