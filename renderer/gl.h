// OpenGL 1.1 and GLU for the portable renderer files.
#pragma once

// mingw's GL headers include <windows.h> unless the calling-convention macros
// they use are already defined; defining them here keeps the portable files free of it.
// Files that include <windows.h> themselves do so before this header.
#if defined(_WIN32) && !defined(APIENTRY)
#define APIENTRY __stdcall
#endif
#if defined(_WIN32) && !defined(WINGDIAPI)
#define WINGDIAPI __declspec(dllimport)
#endif
#if defined(_WIN32) && !defined(CALLBACK)
#define CALLBACK __stdcall  // GLU's callback types
#endif

#include <GL/gl.h>
#include <GL/glu.h>

#ifndef GL_BGR_EXT
#define GL_BGR_EXT 0x80E0
#endif
