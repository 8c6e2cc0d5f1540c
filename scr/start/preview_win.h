// The preview window Gelmo_R, embedded as a child of the display settings'
// preview area: the saver's scene drawn live, small, from the user's own
// pictures; the fixed preview picture where that cannot be.
#pragma once

#include <cstdint>

#include "renderer/frame_pacer.h"
#include "scr/forms/forms_win.h"
#include "scr/settings/settings.h"
#include "scr/start/preview_plan.h"

namespace gelmo {

struct BmpImage;

class PreviewForm : public forms::Form {
 public:
  PreviewForm();
  ~PreviewForm() override { ReleaseScene(); }
  forms::Image Img_Prev{*this};
  forms::Timer FrameTimer{*this, 1, false};

  // Makes the scene's GL context (a test hands in one that is refused).
  HGLRC(WINAPI* createContext)(HDC) = wglCreateContext;

  bool live() const { return context_ != nullptr; }
  // Frames drawn so far.
  int framesDrawn() const { return frames_; }

  // The scene at the client area's size with these two pictures, in place of
  // the fixed picture; false (the fixed picture stays) where no GL pixel
  // format or context can be had.
  bool StartScene(const BmpImage& sheet, const BmpImage& backdrop);

 protected:
  void OnUnload(bool& cancel) override;

 private:
  // One turn of the frame timer: a frame when one is due and the preview can
  // be seen, then the timer set for the next.
  void Frame();
  void ReleaseScene();

  HDC dc_ = nullptr;
  HGLRC context_ = nullptr;
  std::int64_t clockStart_ = 0, clockFrequency_ = 1;
  FramePacer pacer_{1.0 / 30.0};  // never more than 30 frames a second
  int frames_ = 0;
};

// Embeds the preview into the host window and shows it with the fixed
// picture; the program then runs until the host destroys it.  False when the
// host is not a window, so that nothing lingers without a place to show.
bool EmbedPreview(PreviewForm& preview, HWND host);

// Then the live scene: the pictures the settings choose (read, never
// written), decoded to a few hundred pixels, with the sample landscape for a
// desktop capture.  False, and the fixed picture stays, where a picture
// cannot be read or the scene cannot be drawn.
bool StartLivePreview(PreviewForm& preview, const SaverSettings& settings);

}  // namespace gelmo
