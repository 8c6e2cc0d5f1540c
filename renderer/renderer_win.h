// The renderer's window, GL context and frame loop.
#pragma once

#include <windows.h>

namespace gelmo {

constexpr char kRendererClassName[] = "Gelmo_VC";  // also the caption the saver watches for

// The program's entry: window, initialisation, frame loop; returns the exit code.
int RendererMain(HINSTANCE instance);
LRESULT CALLBACK RendererWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// True when the driver took the request for one frame per display refresh
// (WGL_EXT_swap_control), made as the window's GL context was created.
bool SwapIntervalGranted();
// Sets the scene's pixel format (SetScenePixelFormat) and says which in the
// debugger output.
void SetupPixelFormat(HDC hdc);
// printf into a 1024-byte buffer, to the debugger output.
void DebugPrintf(const char* format, ...);

}  // namespace gelmo
