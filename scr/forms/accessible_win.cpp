#include "scr/forms/accessible_win.h"

#include <oleacc.h>

#include <string>

#include "scr/forms/forms_win.h"
#include "scr/forms/text_win.h"

// The interface's identifier is taken from its type (__uuidof), never as the
// IID_IAccessible symbol: the 64-bit oleacc and uuid import libraries both
// define that symbol, and a link that pulls in both fails.
namespace gelmo::forms {
namespace {

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// The control a window belongs to, while the window is still there.
Control* ControlOfWindow(HWND window) {
  if (!IsWindow(window) || GetWindowLongPtrW(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(ControlProc))
    return nullptr;
  return reinterpret_cast<Control*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LONG RoleOf(Role role) {
  switch (role) {
    case Role::kPushButton: return ROLE_SYSTEM_PUSHBUTTON;
    case Role::kCheckBox: return ROLE_SYSTEM_CHECKBUTTON;
    case Role::kOption: return ROLE_SYSTEM_RADIOBUTTON;
    case Role::kLink: return ROLE_SYSTEM_LINK;
    default: return ROLE_SYSTEM_STATICTEXT;
  }
}

BSTR Bstr(const std::string& text) { return SysAllocString(Wide(text).c_str()); }

// The standard object does the work (location, parent, hit testing, the name
// from the window text); role and state come from the control, since the
// standard object cannot know what a window of the program's own class is.
// It holds the window, not the control: a reader may keep it after the
// dialog has closed, and is then told that the object is gone.
class ControlAccessible final : public IAccessible {
 public:
  ControlAccessible(HWND window, IAccessible* standard) : window_(window), standard_(standard) {}
  ~ControlAccessible() { standard_->Release(); }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible)) {
      *object = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    return standard_->QueryInterface(iid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return left;
  }

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return standard_->GetTypeInfoCount(count); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID locale, ITypeInfo** info) override {
    return standard_->GetTypeInfo(i, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override {
    return standard_->GetIDsOfNames(iid, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argument) override {
    return standard_->Invoke(id, iid, locale, flags, params, result, exception, argument);
  }

  // IAccessible: what the control itself says.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    Control* control = ControlOfWindow(window_);
    if (!control) return RPC_E_DISCONNECTED;
    if (!IsSelf(child) || control->accessibleName.empty()) return standard_->get_accName(child, name);
    *name = Bstr(control->accessibleName);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    Control* control = ControlOfWindow(window_);
    if (!control) return RPC_E_DISCONNECTED;
    if (!IsSelf(child) || control->accessibleName.empty()) return standard_->get_accValue(child, value);
    *value = Bstr(control->text());  // a named text is read as the value it shows
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    Control* control = ControlOfWindow(window_);
    if (!control) return RPC_E_DISCONNECTED;
    if (!IsSelf(child)) return standard_->get_accRole(child, role);
    role->vt = VT_I4;
    role->lVal = RoleOf(control->role);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    Control* control = ControlOfWindow(window_);
    if (!control) return RPC_E_DISCONNECTED;
    if (!IsSelf(child)) return standard_->get_accState(child, state);
    VARIANT base;
    VariantInit(&base);
    LONG bits = SUCCEEDED(standard_->get_accState(child, &base)) && base.vt == VT_I4 ? base.lVal : 0;
    bits &= ~(STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_CHECKED |
              STATE_SYSTEM_DEFAULT | STATE_SYSTEM_PRESSED);
    const Role role = control->role;
    if (!IsWindowEnabled(window_))
      bits |= STATE_SYSTEM_UNAVAILABLE;
    else if (TakesFocus(role))
      bits |= STATE_SYSTEM_FOCUSABLE;
    if (control->focused()) bits |= STATE_SYSTEM_FOCUSED;
    if ((role == Role::kCheckBox || role == Role::kOption) && control->checked()) bits |= STATE_SYSTEM_CHECKED;
    if (role == Role::kPushButton && control->owner().currentDefault() == control) bits |= STATE_SYSTEM_DEFAULT;
    state->vt = VT_I4;
    state->lVal = bits;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    Control* control = ControlOfWindow(window_);
    if (!control) return RPC_E_DISCONNECTED;
    if (!IsSelf(child)) return standard_->accDoDefaultAction(child);
    if (!TakesFocus(control->role)) return DISP_E_MEMBERNOTFOUND;
    // Later, on the window's thread, as a click would come.
    PostMessageW(window_, BM_CLICK, 0, 0);
    return S_OK;
  }

  // IAccessible: the standard object's.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override { return standard_->get_accChildCount(count); }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    return standard_->get_accChild(child, object);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    return standard_->get_accDescription(child, text);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override { return standard_->get_accHelp(child, text); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    return standard_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
    return standard_->get_accKeyboardShortcut(child, keys);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return standard_->get_accFocus(child); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override { return standard_->get_accSelection(children); }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return standard_->get_accDefaultAction(child, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long how, VARIANT child) override { return standard_->accSelect(how, child); }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
    return standard_->accLocation(left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    return standard_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
    return standard_->accHitTest(x, y, child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override { return standard_->put_accName(child, name); }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return standard_->put_accValue(child, value);
  }

 private:
  LONG references_ = 1;
  HWND window_;
  IAccessible* standard_;
};

// The standard accessible proxy for a window that acts as a button or a
// text.  Wine (8) exports CreateStdAccessibleProxyW as a stub that ends the
// process when called; there the standard object of the window serves, which
// names it by its text as the proxy does.
HRESULT StandardObject(HWND window, bool button, IAccessible** object) {
  static const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  if (wine) return CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(object));
  return CreateStdAccessibleProxyW(window, button ? L"Button" : L"Static", OBJID_CLIENT, __uuidof(IAccessible),
                                   reinterpret_cast<void**>(object));
}

}  // namespace

bool AnswerGetObject(Control& control, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (static_cast<LONG>(lParam) != OBJID_CLIENT || !control.hwnd()) return false;
  if ((control.role == Role::kStatic && control.accessibleName.empty()) || control.role == Role::kSystem) return false;
  // Handing the object over marshals it, which needs COM on this thread; the
  // window thread keeps it to the end.
  static thread_local const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  (void)com;
  const bool button = control.role != Role::kStatic && control.role != Role::kLink;
  IAccessible* standard = nullptr;
  if (FAILED(StandardObject(control.hwnd(), button, &standard)) || !standard) return false;
  auto* accessible = new ControlAccessible(control.hwnd(), standard);
  *result = LresultFromObject(__uuidof(IAccessible), wParam, accessible);
  accessible->Release();
  return true;
}

}  // namespace gelmo::forms
