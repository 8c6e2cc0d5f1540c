// Command: the owner-drawn push button of the settings dialog.  This is its
// behaviour without the platform: the visual state, the pressed flag and the
// enabled flag, moved by one function per input.  Each function says what the
// control window must then do (which face to draw, whether to raise Click),
// so the window procedure only translates messages and paints.
#pragma once

#include <cstdint>
#include <optional>

namespace gelmo {

// The six face pictures held by the control.
enum class Face : std::uint8_t { kNormal, kHighLight, kHighLightSelect, kPressed, kSelected, kDisable };
inline constexpr int kFaceCount = 6;

// ButtonState values.  0 until Initialize runs or focus changes.
enum : std::uint8_t {
  kStateNone = 0,
  kStateNormal = 1,           // no focus, pointer not over the control
  kStateHighLight = 2,        // pointer over, no focus
  kStateSelected = 3,         // focus, pointer not over
  kStateHighLightSelect = 4,  // focus and pointer over
};

// Mouse button numbers as the mouse events pass them.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;

// Period of the hover poll (TmrMouse).
inline constexpr unsigned kHoverIntervalMs = 100;

// 16-bit booleans of the control.
inline constexpr std::int16_t kTrue = -1;
inline constexpr std::int16_t kFalse = 0;

// What the window under the pointer is, as the hover poll finds it.
enum class HoverTarget {
  kControl,     // the control's own window (its label has none of its own)
  kParentForm,  // the form the control sits on
  kOther,       // any other window, of this program or another
};

// What an input asks of the control window.  Every redraw repaints the whole
// face, so when one operation draws more than once only the last drawing is
// kept here.
struct ButtonEffect {
  std::optional<Face> face;          // DrawFace with this picture
  bool reverseGradient = false;      // gradient orientation of that drawing
  std::optional<bool> labelEnabled;  // enable or disable the caption label
  bool startHoverTimer = false;      // TmrMouse on, kHoverIntervalMs
  bool click = false;                // raise Click, after everything else

  // `later` happened after this one.
  void Then(const ButtonEffect& later);
  bool Empty() const { return !face && !labelEnabled && !startHoverTimer && !click; }
};

class CommandButton {
 public:
  // Public operation of the host: state Normal and hover polling on.  Draws
  // nothing and ignores Enabled.
  ButtonEffect Initialize();

  // Pointer over the control or its caption label (coordinates do not matter).
  ButtonEffect MouseMove();
  ButtonEffect MouseDown(int button);
  ButtonEffect MouseUp(int button);
  ButtonEffect FocusGot();
  ButtonEffect FocusLost();
  // One TmrMouse tick, with the window found under the pointer.
  ButtonEffect HoverPoll(HoverTarget under);
  // Ends a hover state: 2 -> 1, 4 -> 3.  Nothing in states 1 and 3.
  ButtonEffect LeaveHover();
  // The host sized the control.
  ButtonEffect Resized() { return ShowEnabledState(); }
  // Normal face and label on while enabled, Disable face and label off while
  // not.  ButtonState is kept.
  ButtonEffect ShowEnabledState();
  // DrawFace with `face` in the current state: sets the gradient orientation.
  // The default button wears the Selected face where others show Normal.
  ButtonEffect DrawFace(Face face);
  // Whether the control is the button that Enter presses; the face changes
  // only where it shows Normal.
  ButtonEffect SetDefault(bool isDefault);
  // Space while the control has the focus: the Pressed face while it is
  // held, the face of the state and Click when it is let go.  The focus
  // leaving in between cancels it.
  ButtonEffect KeyDown();
  ButtonEffect KeyUp();

  std::uint8_t State() const { return state_; }
  std::int16_t MouseIsDown() const { return mouseIsDown_; }
  std::int16_t ReverseGradient() const { return reverseGradient_; }
  std::int16_t Enabled() const { return enabled_; }
  // The field alone, as the properties set it; they decide what is drawn.
  void SetEnabledField(std::int16_t enabled) { enabled_ = enabled; }

 private:
  std::uint8_t state_ = kStateNone;
  std::int16_t mouseIsDown_ = kFalse;
  std::int16_t reverseGradient_ = kFalse;
  std::int16_t enabled_ = kFalse;  // a new instance starts disabled until its properties say otherwise
  bool default_ = false;
  bool keyDown_ = false;
};

}  // namespace gelmo
