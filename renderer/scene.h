// The animated scene: a turning backdrop tiled 2 x 2 with the background bitmap,
// and in front of it a translucent, wobbling 33 x 33-point sheet carrying the
// object picture.  Everything drawn is a pure function of g_time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "renderer/bitmap_texture.h"
#include "renderer/gl.h"
#include "renderer/screen_layout.h"

namespace gelmo {

constexpr int kSheetPoints = 33;  // grid points along each side of the sheet

// The hand-off bitmaps as the renderer reads them.
constexpr const char kBackdropBitmapPath[] = "C:\\Gelmo02.BMP";
constexpr const char kSheetBitmapPath[] = "C:\\Gelmo01.BMP";

// Process-wide state shared by the window and the scene.
// Seconds since the clock started; set at every repaint.  A double: a float
// of seconds coarsens to 7.8 ms steps after a day and 62 ms after a week.
extern double g_time;
extern std::int32_t g_clientWidth;
extern std::int32_t g_clientHeight;
extern float g_heights[kSheetPoints][kSheetPoints];
extern BitmapTexture g_backdropTexture;
extern BitmapTexture g_sheetTexture;
// A change of picture: the texture the sheet changes to (between changes, the
// one it showed before, kept for the next), and how far it has faded in over
// the old one (0 not at all, 1 wholly).  Above 0 only during a change.
extern BitmapTexture g_nextSheetTexture;
extern float g_sheetFade;
// Fill mode with a picture per monitor: the sheet textures of the monitors
// after the first, in layout order (entry 0 is the second monitor's), and
// the monitor a change is fading in on.  A monitor whose texture holds no
// picture shows the first monitor's, g_sheetTexture; a change of the first
// monitor fades in on those too.
extern std::vector<std::unique_ptr<BitmapTexture>> g_monitorSheetTextures;
extern std::size_t g_changingMonitor;
// The sheet texture of monitor `index`, whether or not it holds a picture
// (the first monitor's, g_sheetTexture, for an index with none).
BitmapTexture& MonitorSheetTexture(std::size_t index);
// The functions past GL 1.1 that draw a fade in one pass: the second texture
// unit blends the new picture into the old one, so where the waves fold the
// sheet over itself each layer shows the same mix.  Found by whoever makes the
// context current (ARB_multitexture with ARB_texture_env_combine); without
// them the fade takes two passes, brighter where the sheet overlaps itself.
struct Multitexture {
  void(APIENTRY* activeTexture)(GLenum unit) = nullptr;
  void(APIENTRY* multiTexCoord2f)(GLenum unit, GLfloat s, GLfloat t) = nullptr;
  // `extensions`: the context's GL_EXTENSIONS; `find` looks a function up by
  // name (wglGetProcAddress), null where it has none.
  void Load(const char* extensions, void (*(*find)(const char* name))());
};
extern Multitexture g_multitexture;

// glViewport over the client area; a height of 0 is taken as 1.
void ResizeViewport(std::int32_t width, std::int32_t height);
// One-time GL state, projection and camera for a client area of
// g_clientWidth x g_clientHeight, and a flat sheet; the textures are the
// caller's (the preview makes them from pictures in memory).
void InitSceneView();
// InitSceneView, then both textures from the hand-off bitmaps; always true.
bool InitScene();
// Fill mode with a picture per monitor: the sheet textures of the monitors
// after the first, each from its own hand-off bitmap (MonitorBitmapPath); one
// whose bitmap cannot be read shows the first monitor's picture until its
// first change.
void LoadMonitorSheets(std::size_t monitors);
// Called when the frame loop ends and when Escape is seen; nothing to undo.
void ShutdownScene();
// Draws one whole frame into the back buffer.
void DrawScene();
// Fill mode: one whole frame with the scene in every viewport, each with the
// projection for its own shape (the camera stays where InitScene put it) and
// viewport i with monitor i's sheet picture.
void DrawSceneInViewports(const std::vector<Viewport>& viewports);
// Emits the sheet's 2048 triangles from g_heights, the picture's colours
// multiplied by `brightness`.
void DrawSheet(float brightness = 1.0f);

// The pieces of the animation, for the frame and for checking it.
struct SceneAngles {
  float backdrop;  // about z, degrees; negative turns clockwise as seen
  float tiltX;     // the sheet's three rotations, degrees, applied x, y, z
  float tiltY;
  float twist;
};
SceneAngles SceneAnglesAt(double t);

// Rewrites every entry of g_heights for time t; heights lie in [-0.35, 0.35].
void UpdateHeights(double t);

// Seconds from one performance-counter reading to another, at the counter's
// frequency (ticks per second), to well under 0.1 ms however long it runs.
double SecondsBetween(std::int64_t start, std::int64_t now, std::int64_t frequency);

struct SheetVertex {
  float x, y, z;  // before the sheet's transforms (z is drawn three times taller)
  float s, t;     // texture coordinate
  float alpha;    // height + 0.7; the colour pipeline clamps it to 1
};
// Grid point (r, c) with its current height from g_heights.
SheetVertex SheetGridPoint(int r, int c);

// True when the space-separated list holds the name as a whole word.
bool ListsExtension(const char* list, const char* name);

}  // namespace gelmo
