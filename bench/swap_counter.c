/* LD_PRELOAD shim for the comparison run of a native GL screensaver: counts
   buffer swaps (GLX or EGL) and, when the process is stopped with SIGTERM, prints
   the same figures as renderer_bench.exe. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <signal.h>
#include <stdio.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

static long frames;
static struct timespec first, last;
static double cpu_first;

static double cpu_now(void) {
  struct rusage u;
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

static void report(int sig) {
  (void)sig;
  double wall = (last.tv_sec - first.tv_sec) + (last.tv_nsec - first.tv_nsec) / 1e9;
  double cpu = cpu_now() - cpu_first;
  long n = frames - 1;
  fprintf(stderr, "frames %ld\nseconds %.3f\ncpu_seconds %.3f\nfps %.2f\nframes_per_cpu_second %.2f\n",
          n, wall, cpu, wall > 0 ? n / wall : 0, cpu > 0 ? n / cpu : 0);
  _exit(0);
}

__attribute__((constructor)) static void init(void) { signal(SIGTERM, report); }

static void count_frame(void) {
  clock_gettime(CLOCK_MONOTONIC, &last);
  if (frames++ == 0) {
    first = last;
    cpu_first = cpu_now();
  }
}

void glXSwapBuffers(void* display, unsigned long drawable) {
  static void (*real)(void*, unsigned long);
  if (!real) real = (void (*)(void*, unsigned long))dlsym(RTLD_NEXT, "glXSwapBuffers");
  real(display, drawable);
  count_frame();
}

unsigned eglSwapBuffers(void* display, void* surface) {
  static unsigned (*real)(void*, void*);
  if (!real) real = (unsigned (*)(void*, void*))dlsym(RTLD_NEXT, "eglSwapBuffers");
  unsigned ok = real(display, surface);
  count_frame();
  return ok;
}
