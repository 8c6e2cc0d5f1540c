// The keyboard of the forms, as the platform's dialog manager runs it: the
// message loop hands keys to IsDialogMessageW, which walks the windows in
// their stacking order (the tab order) by their WS_TABSTOP and WS_GROUP
// styles and asks each control what it wants (WM_GETDLGCODE).  The controls
// answer as the platform's buttons do, so that Tab, the arrows, Space, Enter
// and Escape work as in any dialog box.
#include <algorithm>
#include <map>

#include "scr/forms/accessible_win.h"
#include "scr/forms/forms_win.h"
#include "scr/forms/text_win.h"

namespace gelmo::forms {
namespace {

bool IsNavigationKey(WPARAM key) {
  return key == VK_TAB || key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
}

void SetStyleBits(HWND window, LONG mask, LONG bits) {
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  if ((style & mask) != bits) SetWindowLongW(window, GWL_STYLE, (style & ~mask) | bits);
}

}  // namespace

bool DialogKeys(MSG* msg) {
  if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST || !msg->hwnd) return false;
  HWND root = GetAncestor(msg->hwnd, GA_ROOT);
  if (!root || GetWindowLongPtrW(root, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(FormProc)) return false;
  const Form* form = reinterpret_cast<const Form*>(GetWindowLongPtrW(root, GWLP_USERDATA));
  if (!form || !form->dialogKeys) return false;
  // Moving by keyboard shows where the focus is, whatever the system's
  // setting hid until then.
  if (msg->message == WM_KEYDOWN && IsNavigationKey(msg->wParam))
    SendMessageW(root, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  return IsDialogMessageW(root, msg) != FALSE;
}

// ---- Form --------------------------------------------------------------------

void Form::ApplyTabOrder() {
  Control* previous = nullptr;
  for (Control* c : tabOrder_) {
    c->groupStart_ = !(c->role == Role::kOption && previous && previous->role == Role::kOption);
    previous = c;
  }
  for (Control* c : controls_) {
    if (!c->hwnd_) continue;
    const bool listed = std::find(tabOrder_.begin(), tabOrder_.end(), c) != tabOrder_.end();
    // Every control ends the group of options before it, so that the arrows
    // stay among the options; an option's Tab stop follows its choice.
    LONG bits = c->groupStart_ ? WS_GROUP : 0;
    if (listed && (c->role == Role::kSystem || (TakesFocus(c->role) && c->role != Role::kOption))) bits |= WS_TABSTOP;
    LONG mask = WS_GROUP | WS_TABSTOP;
    if (c->role != Role::kSystem) {
      // What the platform's button of that kind would carry, for whoever
      // reads the style (the dialog manager's arrows, accessibility).
      mask |= BS_TYPEMASK;
      if (c->role == Role::kCheckBox) bits |= BS_AUTOCHECKBOX;
      if (c->role == Role::kOption) bits |= BS_AUTORADIOBUTTON;
    }
    SetStyleBits(c->hwnd_, mask, bits);
  }
  // The dialog manager walks the windows from the top of their stacking order.
  std::map<HWND, HWND> lastOfParent;
  for (Control* c : tabOrder_) {
    if (!c->hwnd_) continue;
    HWND parent = GetParent(c->hwnd_);
    const auto last = lastOfParent.find(parent);
    SetWindowPos(c->hwnd_, last == lastOfParent.end() ? HWND_TOP : last->second, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    lastOfParent[parent] = c->hwnd_;
  }
  UpdateTabStops();
  if (defaultButton) defaultButton->DefaultChanged();
}

void Form::UpdateTabStops() {
  for (std::size_t first = 0; first < tabOrder_.size();) {
    if (tabOrder_[first]->role != Role::kOption) {
      ++first;
      continue;
    }
    std::size_t end = first + 1;
    while (end < tabOrder_.size() && tabOrder_[end]->role == Role::kOption && !tabOrder_[end]->groupStart_) ++end;
    std::size_t stop = first;
    for (std::size_t i = first; i < end; ++i)
      if (tabOrder_[i]->checked_) {
        stop = i;
        break;
      }
    for (std::size_t i = first; i < end; ++i)
      if (tabOrder_[i]->hwnd_) SetStyleBits(tabOrder_[i]->hwnd_, WS_TABSTOP, i == stop ? WS_TABSTOP : 0);
    first = end;
  }
}

void Form::PushButtonFocused(Control* button) {
  Control* before = currentDefault();
  currentDefault_ = button;
  Control* now = currentDefault();
  if (before == now) return;
  if (before) before->DefaultChanged();
  if (now) now->DefaultChanged();
}

bool Form::KeyCommand(WPARAM wParam) {
  if (HIWORD(wParam) != BN_CLICKED) return false;
  const int id = LOWORD(wParam);
  Control* target = id == IDCANCEL ? cancelButton : id == IDOK ? defaultButton : nullptr;
  for (Control* c : controls_)
    if (!target && id != 0 && c->id_ == id && c->role == Role::kPushButton) target = c;
  if (!target) return false;
  target->Press();
  return true;
}

void Form::FocusFirstControl() {
  if (HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE)) SetFocus(first);
}

// ---- Control -----------------------------------------------------------------

void Control::Press() {
  if (enabled_ && onClick) onClick(index);
}

void Control::SetChecked(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  if (role == Role::kOption) owner_.UpdateTabStops();
  if (hwnd_) NotifyWinEvent(EVENT_OBJECT_STATECHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
}

void Control::SetText(const std::string& text) {
  text_ = text;
  if (hwnd_) SetWindowTextW(hwnd_, Wide(text_).c_str());
}

bool Control::ShowsFocus() const {
  return hwnd_ && !(SendMessageW(hwnd_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
}

bool Control::RoleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  *result = 0;
  const bool takesFocus = TakesFocus(role);
  const bool checkable = role == Role::kCheckBox || role == Role::kOption;
  switch (message) {
    case WM_GETDLGCODE: {
      if (!takesFocus) return false;
      const auto* key = reinterpret_cast<const MSG*>(lParam);
      switch (role) {
        case Role::kPushButton:
          *result = DLGC_BUTTON | (owner_.currentDefault() == this ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
          break;
        case Role::kCheckBox: *result = DLGC_BUTTON; break;
        case Role::kOption: *result = DLGC_BUTTON | DLGC_RADIOBUTTON; break;
        default:  // a link opens on Enter, as the platform's link control does
          if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) *result = DLGC_WANTMESSAGE;
          break;
      }
      return true;
    }
    case WM_LBUTTONDOWN:
      // Clicked, it takes the focus as a button does.
      if (takesFocus && enabled_ && GetFocus() != hwnd_) SetFocus(hwnd_);
      return false;
    case WM_KEYDOWN:
      if (!takesFocus) return false;
      if (wParam == VK_SPACE) {
        spaceDown_ = true;
        return true;
      }
      if (wParam == VK_RETURN && role == Role::kLink) {
        Press();
        return true;
      }
      return false;
    case WM_KEYUP:
      // Space acts when it is let go, on the control it went down on.
      if (wParam != VK_SPACE || !spaceDown_) return false;
      spaceDown_ = false;
      Press();
      return true;
    case BM_CLICK:
      if (!takesFocus) return false;
      Press();
      return true;
    case BM_GETCHECK:
      if (!checkable) return false;
      *result = checked_ ? BST_CHECKED : BST_UNCHECKED;
      return true;
    case BM_GETSTATE:
      if (!takesFocus) return false;
      *result = (checked_ ? BST_CHECKED : BST_UNCHECKED) | (hasFocus_ ? BST_FOCUS : 0) | (spaceDown_ ? BST_PUSHED : 0);
      return true;
    case BM_SETSTYLE:
      // The form decides which push button is the default.
      return role == Role::kPushButton;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (!takesFocus) return false;
      Refresh();
      return true;
    case WM_UPDATEUISTATE:
      *result = DefWindowProcW(hwnd_, message, wParam, lParam);
      Refresh();
      return true;
    case WM_GETOBJECT:
      return AnswerGetObject(*this, wParam, lParam, result);
    default:
      return false;
  }
}

}  // namespace gelmo::forms
