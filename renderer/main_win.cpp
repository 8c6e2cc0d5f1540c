// ゲルモ.dll: the renderer program (an executable, whatever its extension).
#include "renderer/renderer_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return gelmo::RendererMain(instance);
}
