#include "renderer/scene.h"

#include <cmath>
#include <cstring>

#include "renderer/gl.h"
#include "renderer/screen_layout.h"

namespace gelmo {

double g_time = 0.0;
std::int32_t g_clientWidth = 0;
std::int32_t g_clientHeight = 0;
float g_heights[kSheetPoints][kSheetPoints];
BitmapTexture g_backdropTexture;
BitmapTexture g_sheetTexture;
BitmapTexture g_nextSheetTexture;
float g_sheetFade = 0.0f;
std::vector<std::unique_ptr<BitmapTexture>> g_monitorSheetTextures;
std::size_t g_changingMonitor = 0;
Multitexture g_multitexture;

BitmapTexture& MonitorSheetTexture(std::size_t index) {
  return index == 0 || index > g_monitorSheetTextures.size() ? g_sheetTexture : *g_monitorSheetTextures[index - 1];
}

bool ListsExtension(const char* list, const char* name) {
  const std::size_t length = std::strlen(name);
  for (const char* at = list; (at = std::strstr(at, name)) != nullptr; at += length)
    if ((at == list || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0')) return true;
  return false;
}

void Multitexture::Load(const char* extensions, void (*(*find)(const char* name))()) {
  *this = {};
  if (!extensions || !ListsExtension(extensions, "GL_ARB_multitexture") ||
      !ListsExtension(extensions, "GL_ARB_texture_env_combine"))
    return;
  activeTexture = reinterpret_cast<decltype(activeTexture)>(find("glActiveTextureARB"));
  multiTexCoord2f = reinterpret_cast<decltype(multiTexCoord2f)>(find("glMultiTexCoord2fARB"));
  if (!activeTexture || !multiTexCoord2f) *this = {};
}

void ResizeViewport(std::int32_t width, std::int32_t height) {
  glViewport(0, 0, width, height == 0 ? 1 : height);
}

void InitSceneView() {
  glViewport(0, 0, g_clientWidth, g_clientHeight);
  // The projection is fixed here; later resizes only move the viewport.
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(55.0, static_cast<double>(g_clientWidth) / static_cast<double>(g_clientHeight),
                 1.0, 20.0);
  // The camera looks down -z at the origin from 5 units; every frame pushes
  // and pops on this matrix.
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(0.0f, 0.0f, -5.0f);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glEnable(GL_TEXTURE_2D);
  for (auto& row : g_heights)
    for (float& h : row) h = 0.0f;
}

bool InitScene() {
  InitSceneView();
  // A bitmap that cannot be loaded leaves its surface untextured; the
  // animation runs all the same.
  g_backdropTexture.LoadBitmap(kBackdropBitmapPath);
  g_sheetTexture.LoadBitmap(kSheetBitmapPath);
  return true;
}

void LoadMonitorSheets(std::size_t monitors) {
  g_monitorSheetTextures.clear();
  for (std::size_t monitor = 1; monitor < monitors; ++monitor) {
    auto texture = std::make_unique<BitmapTexture>();
    if (!texture->LoadBitmap(MonitorBitmapPath(kSheetBitmapPath, monitor).c_str())) texture->Release();
    g_monitorSheetTextures.push_back(std::move(texture));
  }
}

void ShutdownScene() {}

SceneAngles SceneAnglesAt(double time) {
  SceneAngles a;
  // Whole turns taken off in double, so the float keeps its fine steps.
  a.backdrop = static_cast<float>(std::fmod(-8.0 * time, 360.0));
  a.tiltX = static_cast<float>(5.0 * std::sin(0.25 * time));
  a.tiltY = static_cast<float>(5.0 * std::sin(double{0.1f} * time));
  a.twist = static_cast<float>(30.0 * std::sin(double{-0.45f} * time));
  return a;
}

void UpdateHeights(double time) {
  for (int r = 0; r < kSheetPoints; ++r) {
    const double along = std::sin(0.3 * r + 0.9 * time);  // once per row
    for (int c = 0; c < kSheetPoints; ++c)
      g_heights[r][c] = static_cast<float>(along * std::sin(0.5 * c + 0.6 * time) * 0.35);
  }
}

double SecondsBetween(std::int64_t start, std::int64_t now, std::int64_t frequency) {
  const std::int64_t ticks = now - start;
  // Whole seconds and the ticks left over, each exact, then joined.
  return static_cast<double>(ticks / frequency) + static_cast<double>(ticks % frequency) / static_cast<double>(frequency);
}

SheetVertex SheetGridPoint(int r, int c) {
  const float h = g_heights[r][c];
  return SheetVertex{static_cast<float>(r * 0.125 - 2.0), static_cast<float>(c * 0.125 - 2.0), h,
                     static_cast<float>(r * 0.03125), static_cast<float>(c * 0.03125),
                     static_cast<float>(h + 0.7)};
}

namespace {

bool g_secondUnit = false;  // the sheet is drawn with both texture units

void EmitGridPoint(int r, int c, float brightness) {
  const SheetVertex v = SheetGridPoint(r, c);
  glColor4f(brightness, brightness, brightness, v.alpha);
  glTexCoord2f(v.s, v.t);
  if (g_secondUnit) g_multitexture.multiTexCoord2f(GL_TEXTURE1_ARB, v.s, v.t);
  glVertex3f(v.x, v.y, v.z);
}

// The sheet with the old picture on the first texture unit and the new one
// blended into it on the second by `fade`: each pixel old * (1 - fade) +
// new * fade, with the vertex's alpha.
void DrawSheetCrossfading(float fade) {
  g_multitexture.activeTexture(GL_TEXTURE1_ARB);
  glEnable(GL_TEXTURE_2D);
  g_nextSheetTexture.Bind();
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
  glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, GL_INTERPOLATE_ARB);
  glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB_ARB, GL_TEXTURE);
  glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB_ARB, GL_SRC_COLOR);
  glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB_ARB, GL_PREVIOUS_ARB);
  glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB_ARB, GL_SRC_COLOR);
  glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE2_RGB_ARB, GL_CONSTANT_ARB);
  glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND2_RGB_ARB, GL_SRC_ALPHA);
  glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA_ARB, GL_REPLACE);
  glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_ALPHA_ARB, GL_PREVIOUS_ARB);
  glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_ALPHA_ARB, GL_SRC_ALPHA);
  const GLfloat share[4] = {0.0f, 0.0f, 0.0f, fade};
  glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, share);
  g_secondUnit = true;
  DrawSheet(1.0f);
  g_secondUnit = false;
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glDisable(GL_TEXTURE_2D);
  g_multitexture.activeTexture(GL_TEXTURE0_ARB);
}

}  // namespace

void DrawSheet(float brightness) {
  glBegin(GL_TRIANGLES);
  for (int a = 0; a < kSheetPoints - 1; ++a) {
    for (int i = 0; i < kSheetPoints - 1; ++i) {
      // Lower-left half, then upper-right half of the cell, sharing the
      // diagonal from (a + 1, i) to (a, i + 1); the two wind oppositely, so
      // face culling must stay off.
      EmitGridPoint(a, i, brightness);
      EmitGridPoint(a + 1, i, brightness);
      EmitGridPoint(a, i + 1, brightness);
      EmitGridPoint(a + 1, i, brightness);
      EmitGridPoint(a, i + 1, brightness);
      EmitGridPoint(a + 1, i + 1, brightness);
    }
  }
  glEnd();
}

namespace {

// The backdrop and the sheet into the current viewport and projection: the
// sheet with `sheet`'s picture, and g_nextSheetTexture faded in over it by `sheetFade`.
void DrawLayers(const BitmapTexture& sheet, float sheetFade) {
  const SceneAngles angles = SceneAnglesAt(g_time);

  // Backdrop: a 10 x 10 square at the origin's depth, larger than the view at
  // every angle, showing the background picture 2 x 2 times.
  // The texture is modulated by the colour, which the sheet's last vertex
  // leaves behind (darkened during a fade): white again.
  g_backdropTexture.Bind();
  glEnable(GL_TEXTURE_2D);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glPushMatrix();
  glRotatef(angles.backdrop, 0.0f, 0.0f, 1.0f);
  glScalef(5.0f, 5.0f, 5.0f);
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, 0.0f);
  glVertex3f(-1.0f, -1.0f, 0.0f);
  glTexCoord2f(2.0f, 0.0f);
  glVertex3f(1.0f, -1.0f, 0.0f);
  glTexCoord2f(2.0f, 2.0f);
  glVertex3f(1.0f, 1.0f, 0.0f);
  glTexCoord2f(0.0f, 2.0f);
  glVertex3f(-1.0f, 1.0f, 0.0f);
  glEnd();
  glPopMatrix();

  // Sheet: blended by the per-vertex alpha, so crests are more opaque than troughs.
  glPushMatrix();
  glEnable(GL_BLEND);
  sheet.Bind();
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glRotatef(angles.tiltX, 1.0f, 0.0f, 0.0f);
  glRotatef(angles.tiltY, 0.0f, 1.0f, 0.0f);
  glRotatef(angles.twist, 0.0f, 0.0f, 1.0f);
  UpdateHeights(g_time);
  glScalef(1.0f, 1.0f, 3.0f);  // heights drawn three times taller; alpha keeps the true height
  // A change of picture: with a the vertex alpha and f the fade, each pixel
  // is backdrop * (1 - a) + (old * (1 - f) + new * f) * a, a crossfade of the
  // pictures on the same waves.
  const float fade = sheetFade < 1.0f ? sheetFade : 1.0f;
  if (sheetFade <= 0.0f || g_nextSheetTexture.textureId == 0) {
    DrawSheet(1.0f);
  } else if (g_multitexture.activeTexture) {
    DrawSheetCrossfading(fade);
  } else {
    // The same sheet twice, the old picture darkened by the fade and the new
    // one, lit by it, added on top (exact only where the sheet is one layer).
    DrawSheet(1.0f - fade);
    g_nextSheetTexture.Bind();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    DrawSheet(fade);
  }
  glPopMatrix();
  glDisable(GL_BLEND);
}

}  // namespace

void DrawScene() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  DrawLayers(g_sheetTexture, g_sheetFade);
}

void DrawSceneInViewports(const std::vector<Viewport>& viewports) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  for (std::size_t i = 0; i < viewports.size(); ++i) {
    const Viewport& v = viewports[i];
    const BitmapTexture& own = MonitorSheetTexture(i);
    const bool shared = own.textureId == 0;  // shows the first monitor's picture
    const bool changing = i == g_changingMonitor || (g_changingMonitor == 0 && shared);
    glViewport(v.x, v.y, v.width, v.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(FieldOfViewFor(v.width, v.height),
                   static_cast<double>(v.width) / static_cast<double>(v.height == 0 ? 1 : v.height), 1.0, 20.0);
    glMatrixMode(GL_MODELVIEW);
    DrawLayers(shared ? g_sheetTexture : own, changing ? g_sheetFade : 0.0f);
  }
}

}  // namespace gelmo
