// The renderer's own scene drawn by a bare native X11/GLX program, the yardstick
// of the renderer benchmark: the same two layers, drawn by the same scene code
// with the same GL state, in a borderless 1024x768 window at the screen's
// top-left corner.  The visual is the one Wine gives the renderer for its
// request (32 colour bits, as GetDeviceCaps reports under Wine): 8 bits for
// each of red, green, blue and alpha, double-buffered, a 16-bit depth buffer.
//   native_scene SECONDS     (the hand-off bitmaps are read from the current folder)
// Prints the same figures as renderer_bench.exe.  CPU time is that of the
// whole process, all of the GL's threads included.
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "renderer/scene.h"

namespace {

double Now() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double CpuSeconds() {
  rusage u;
  getrusage(RUSAGE_SELF, &u);
  return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
  const double launched = Now();
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "native_scene: no X display\n");
    return 1;
  }
  const int screen = DefaultScreen(display);
  int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
                      GLX_ALPHA_SIZE, 8, GLX_DEPTH_SIZE, 16, None};
  XVisualInfo* visual = glXChooseVisual(display, screen, attributes);
  if (!visual) {
    std::fprintf(stderr, "native_scene: no double-buffered RGBA visual\n");
    return 1;
  }
  XSetWindowAttributes set = {};
  set.colormap = XCreateColormap(display, RootWindow(display, screen), visual->visual, AllocNone);
  set.override_redirect = True;  // borderless, where it is put, like a pop-up window
  set.event_mask = StructureNotifyMask;
  const Window window = XCreateWindow(display, RootWindow(display, screen), 0, 0, 1024, 768, 0, visual->depth,
                                      InputOutput, visual->visual, CWColormap | CWOverrideRedirect | CWEventMask, &set);
  XMapWindow(display, window);
  for (XEvent e;;) {
    XNextEvent(display, &e);
    if (e.type == MapNotify) break;
  }
  GLXContext context = glXCreateContext(display, visual, nullptr, True);
  glXMakeCurrent(display, window, context);

  gelmo::g_clientWidth = 1024;
  gelmo::g_clientHeight = 768;
  gelmo::ResizeViewport(1024, 768);
  gelmo::InitScene();

  const double start = Now();
  double firstFrame = 0, lastFrame = 0, cpuAtFirstFrame = 0;
  long frames = 0;
  for (;;) {
    const double now = Now();
    gelmo::g_time = now - start;
    gelmo::DrawScene();
    glXSwapBuffers(display, window);
    while (XPending(display)) {
      XEvent e;
      XNextEvent(display, &e);
    }
    const double done = Now();
    if (frames++ == 0) {
      firstFrame = done;
      cpuAtFirstFrame = CpuSeconds();
    }
    lastFrame = done;
    if (done - firstFrame >= seconds) break;
  }
  const double cpu = CpuSeconds() - cpuAtFirstFrame;
  const double wall = lastFrame - firstFrame;
  const long counted = frames - 1;  // frames completed between the two marks
  std::printf("frames %ld\nseconds %.3f\ncpu_seconds %.3f\nfps %.2f\nframes_per_cpu_second %.2f\n"
              "first_frame_after_start %.3f\n",
              counted, wall, cpu, counted / wall, cpu > 0 ? counted / cpu : 0.0, firstFrame - launched);
  glXMakeCurrent(display, None, nullptr);
  glXDestroyContext(display, context);
  XCloseDisplay(display);
  return 0;
}
