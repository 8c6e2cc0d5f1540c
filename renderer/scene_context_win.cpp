#include "renderer/scene_context_win.h"

#include "renderer/gl.h"
#include "renderer/scene.h"

namespace gelmo {

int SetScenePixelFormat(HDC hdc) {
  PIXELFORMATDESCRIPTOR format = {};
  format.nSize = sizeof format;
  format.nVersion = 1;
  format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  format.iPixelType = PFD_TYPE_RGBA;
  format.cColorBits = static_cast<BYTE>(GetDeviceCaps(hdc, BITSPIXEL));
  format.cDepthBits = 16;
  format.iLayerType = PFD_MAIN_PLANE;
  const int index = ChoosePixelFormat(hdc, &format);
  return index != 0 && SetPixelFormat(hdc, index, &format) ? index : 0;
}

void LoadMultitexture() {
  g_multitexture.Load(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), [](const char* name) {
    return reinterpret_cast<void (*)()>(wglGetProcAddress(name));
  });
}

}  // namespace gelmo
