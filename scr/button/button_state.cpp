#include "scr/button/button_state.h"

namespace gelmo {

void ButtonEffect::Then(const ButtonEffect& later) {
  if (later.face) {
    face = later.face;
    reverseGradient = later.reverseGradient;
  }
  if (later.labelEnabled) labelEnabled = later.labelEnabled;
  startHoverTimer = startHoverTimer || later.startHoverTimer;
  click = click || later.click;
}

ButtonEffect CommandButton::Initialize() {
  state_ = kStateNormal;
  ButtonEffect effect;
  effect.startHoverTimer = true;
  return effect;
}

ButtonEffect CommandButton::DrawFace(Face face) {
  // The orientation follows the state at the time of drawing; state 4 keeps
  // whatever the drawing before it used, so how 4 was reached shows.
  switch (state_) {
    case kStateNormal: reverseGradient_ = kFalse; break;
    case kStateHighLight: reverseGradient_ = kTrue; break;
    case kStateSelected: reverseGradient_ = kFalse; break;
    default: break;
  }
  ButtonEffect effect;
  effect.face = face == Face::kNormal && default_ ? Face::kSelected : face;
  effect.reverseGradient = reverseGradient_ != 0;
  return effect;
}

ButtonEffect CommandButton::SetDefault(bool isDefault) {
  if (default_ == isDefault) return {};
  default_ = isDefault;
  if (!enabled_ || (state_ != kStateNone && state_ != kStateNormal) || mouseIsDown_ || keyDown_) return {};
  return DrawFace(Face::kNormal);
}

ButtonEffect CommandButton::KeyDown() {
  if (!enabled_ || keyDown_) return {};
  keyDown_ = true;
  return DrawFace(Face::kPressed);
}

ButtonEffect CommandButton::KeyUp() {
  if (!enabled_ || !keyDown_) return {};
  keyDown_ = false;
  ButtonEffect effect;
  switch (state_) {
    case kStateHighLight: effect = DrawFace(Face::kHighLight); break;
    case kStateSelected: effect = DrawFace(Face::kSelected); break;
    case kStateHighLightSelect: effect = DrawFace(Face::kHighLightSelect); break;
    default: effect = DrawFace(Face::kNormal); break;
  }
  effect.click = true;
  return effect;
}

ButtonEffect CommandButton::MouseMove() {
  if (!enabled_) return {};
  if (state_ == kStateNormal) {
    state_ = kStateHighLight;
    return DrawFace(Face::kHighLight);
  }
  // While the button is held, coming back over the control does not re-arm
  // the click: the press was cancelled when the pointer left.
  if (state_ == kStateSelected && !mouseIsDown_) {
    state_ = kStateHighLightSelect;
    return DrawFace(Face::kHighLightSelect);
  }
  return {};
}

ButtonEffect CommandButton::MouseDown(int button) {
  if (!enabled_ || button != kLeftButton) return {};
  mouseIsDown_ = kTrue;
  return DrawFace(Face::kPressed);
}

ButtonEffect CommandButton::MouseUp(int button) {
  if (!enabled_) return {};
  ButtonEffect effect;
  if (button == kLeftButton) {
    mouseIsDown_ = kFalse;
    if (state_ == kStateHighLight) effect = DrawFace(Face::kNormal);
    if (state_ == kStateHighLightSelect) effect = DrawFace(Face::kHighLightSelect);
  }
  // Any button clicks unless the pointer left while focused (state 3).
  effect.click = state_ != kStateSelected;
  return effect;
}

ButtonEffect CommandButton::FocusGot() {
  if (!enabled_) return {};
  if (state_ == kStateHighLight) {
    state_ = kStateHighLightSelect;
    return DrawFace(Face::kPressed);
  }
  state_ = kStateSelected;
  return DrawFace(Face::kSelected);
}

ButtonEffect CommandButton::FocusLost() {
  keyDown_ = false;
  if (!enabled_ || state_ == kStateNormal) return {};
  state_ = kStateNormal;
  return DrawFace(Face::kNormal);
}

ButtonEffect CommandButton::HoverPoll(HoverTarget under) {
  if (under == HoverTarget::kControl) return {};
  return LeaveHover();
}

ButtonEffect CommandButton::LeaveHover() {
  if (!enabled_) return {};
  if (state_ == kStateHighLight) {
    state_ = kStateNormal;
    return DrawFace(Face::kNormal);
  }
  if (state_ == kStateHighLightSelect) {
    state_ = kStateSelected;
    return DrawFace(Face::kSelected);
  }
  return {};
}

ButtonEffect CommandButton::ShowEnabledState() {
  ButtonEffect effect = DrawFace(enabled_ ? Face::kNormal : Face::kDisable);
  effect.labelEnabled = enabled_ != 0;
  return effect;
}

}  // namespace gelmo
