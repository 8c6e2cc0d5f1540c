// The preview window Gelmo_R: the fixed preview picture, embedded as a child
// of the display settings' preview area.
#pragma once

#include "scr/forms/forms_win.h"

namespace gelmo {

class PreviewForm : public forms::Form {
 public:
  PreviewForm();
  forms::Image Img_Prev{*this};

 protected:
  void OnUnload(bool& cancel) override;
};

// Embeds the preview into the host window and shows it; the program then runs
// until the host destroys it.  False when the host is not a window, so that
// nothing lingers without a place to show.
bool EmbedPreview(PreviewForm& preview, HWND host);

}  // namespace gelmo
