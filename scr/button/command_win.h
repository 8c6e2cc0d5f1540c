// Command: the owner-drawn push button of the settings dialog as a control
// window.  Its face lives in the persistent image of a picture box: a vertical
// gradient, the border ring of one of six face pictures, and the caption.
#pragma once

#include <functional>
#include <string>

#include "scr/button/button_properties.h"
#include "scr/forms/forms_win.h"

namespace gelmo {

class Command : public forms::PictureBox, private CommandHost {
 public:
  explicit Command(forms::Form& owner, int index = 0);
  ~Command() override;

  // Starts the hover polling; the face is drawn by the first event after it.
  void Initialize();
  // Raised when a left-button press on the control is released on it.
  std::function<void(int index)> Click;

  void SetEnabled(bool enabled);
  bool Enabled();
  void SetCaption(const std::string& caption);
  const std::string& Caption() const { return control_.GetCaption(); }
  void SetFontColour(std::int32_t colour);
  void RefreshLook();
  // The stored design: read when the control is placed, written when it is saved.
  void ReadProperties(PropertyStore& store);
  void WriteProperties(PropertyStore& store);
  // Called with a property's name when the control changes it.
  std::function<void(std::string_view name)> onPropertyChanged;

  // Click, as Enter, a dialog manager or assistive technology asks for it.
  void Press() override;

  std::uint8_t ButtonState() const { return control_.button.State(); }
  bool MouseIsDown() const { return control_.button.MouseIsDown() != 0; }

 protected:
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void Created() override;
  void Resized() override;
  void DefaultChanged() override;

 private:
  void Apply(const ButtonEffect& effect);
  void DrawFace(Face face, bool reverse);
  void DrawCaption(HDC dc);
  // CommandHost
  void PropertyChanged(std::string_view name) override {
    if (onPropertyChanged) onPropertyChanged(name);
  }
  FontRef AmbientFont() override { return control_.GetFont(); }

  CommandControl control_{*this};
  HBITMAP faces_[kFaceCount] = {};
  Face lastFace_ = Face::kNormal;  // redrawn when the focus cues change
  bool lastReverse_ = false;
  bool hoverTimer_ = false;
  bool capturing_ = false;
};

}  // namespace gelmo
