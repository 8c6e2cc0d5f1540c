// What a window needs before the scene can be drawn into it, shared by the
// renderer's window and the screensaver program's preview.
#pragma once

#include <windows.h>

namespace gelmo {

// Chooses and sets the scene's pixel format on the window's device context:
// double-buffered RGBA at the screen's colour depth with a 16-bit depth
// buffer.  The index chosen; 0 when there is none or it cannot be set.
int SetScenePixelFormat(HDC hdc);
// With a context current: the fade's one-pass functions, where the GL has them.
void LoadMultitexture();

}  // namespace gelmo
