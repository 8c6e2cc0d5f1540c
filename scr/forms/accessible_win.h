// What assistive technology reads of a control: the platform's standard
// accessible object for the kind of window the control acts as, with the
// control's own role and state.
#pragma once

#include <windows.h>

namespace gelmo::forms {

class Control;

// Answers WM_GETOBJECT for the control's client area; false for any other
// object, and for a control that is nothing but its text.
bool AnswerGetObject(Control& control, WPARAM wParam, LPARAM lParam, LRESULT* result);

}  // namespace gelmo::forms
