// The forms layer of the screensaver program: forms (top-level windows) with
// child controls, geometry in twips, picture boxes with a persistent image,
// images, labels, combo boxes, shapes and timers, all on the window thread.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace gelmo::forms {

// ---- screen and twips ----------------------------------------------------

int TwipsPerPixelX();
int TwipsPerPixelY();
int ScreenWidthTwips();
int ScreenHeightTwips();
inline int PixelsX(int twips) { return twips / TwipsPerPixelX(); }
inline int PixelsY(int twips) { return twips / TwipsPerPixelY(); }

// ---- pictures --------------------------------------------------------------

// A bitmap picture (what picture loading gives and image controls show).
class Picture {
 public:
  explicit Picture(HBITMAP bitmap = nullptr);
  ~Picture();
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;
  HBITMAP bitmap() const { return bitmap_; }
  int width() const { return width_; }    // pixels
  int height() const { return height_; }

 private:
  HBITMAP bitmap_;
  int width_ = 0, height_ = 0;
};

// The header of a 24-bit bottom-up DIB (the layout of the hand-off bitmaps' rows).
inline BITMAPINFO Dib24Info(int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // positive: bottom row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

// Fills a rectangle with one colour; a back colour may name a system colour
// (0x800000nn, nn its number).
void FillSolid(HDC dc, const RECT* rect, COLORREF colour);
// What a picture box takes as a back colour: a plain 0x00BBGGRR colour, or a
// system colour (0x80000000 and its index).  Anything else is refused.
bool AcceptedColour(std::int32_t value, COLORREF* colour);

// A font of the given face and size (points may have a fraction: 9.75) in the
// Shift-JIS character set; the caller deletes it.
HFONT CreatePointFont(const char* face, double points, bool bold = false, bool underline = false);

// The application-wide mouse pointer: while it is not the default, every
// window of the program shows it instead of its own cursor.
enum class MousePointer { kDefault = 0, kHourglass = 11 };
void SetMousePointer(MousePointer pointer);
MousePointer GetMousePointer();

// Writes height rows of width blue-green-red pixels, bottom row first and
// each padded to 4 bytes, as a 24-bit BMP file (the hand-off bitmap format).
bool WriteBitmapFile(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rows);

// ---- forms -------------------------------------------------------------------

enum class UnloadMode { kControlMenu = 0, kCode = 1, kWindowsShutdown = 2 };
enum class Border { kNone, kFixedSingle, kSizable };

class Control;
class Timer;
LRESULT CALLBACK FormProc(HWND, UINT, WPARAM, LPARAM);
// Hands a message of the message loop to the keyboard of the form it is for:
// true when it was used there (dispatched, or taken as a dialog key).
bool DialogKeys(MSG* msg);
LRESULT CALLBACK ControlProc(HWND, UINT, WPARAM, LPARAM);

class Form {
 public:
  Form();
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // Creates the window, hidden, and runs OnLoad before anything is shown.
  // Loading a loaded form does nothing.
  void Load();
  // Shows the form (loading it first); a modal show returns when it has been
  // unloaded.
  void Show(bool modal = false);
  void Hide();
  // OnQueryUnload, then OnUnload; either may cancel.  Then the window goes.
  // True when the form was unloaded.
  bool Unload(UnloadMode mode = UnloadMode::kCode);
  bool loaded() const { return hwnd_ != nullptr; }

  HWND hwnd() const { return hwnd_; }
  // Outer geometry, in twips.
  void Move(int left, int top, int width, int height);
  int Left() const;
  int Top() const;
  int Width() const;
  int Height() const;
  int ClientWidth() const;   // twips
  int ClientHeight() const;
  // Sizes the window so that its client area has this size, in twips.
  void SetClientSize(int width, int height);

  // The form's persistent image (its background): whatever is drawn into this
  // device context stays and is shown behind the controls.  Created on first
  // use, the size of the client area, cleared to the back colour.
  HDC hdc();
  bool hasImage() const { return imageDc_ != nullptr; }
  // Repaints the form and every control on it.
  void Refresh();

  void SetCaption(const std::string& caption);
  std::string caption() const { return caption_; }
  void SetBackColour(COLORREF colour);
  COLORREF backColour() const { return backColour_; }

  // Set before Load.
  Border border = Border::kFixedSingle;
  bool controlBox = true;
  bool minButton = true;
  HICON icon = nullptr;
  // The window keeps one device context of its own (CS_OWNDC), as OpenGL
  // drawing into it needs.
  bool ownDeviceContext = false;

  // The form's controls in the order they were placed on it.
  const std::vector<Control*>& controls() const { return controls_; }

  // ---- the keyboard, as in a dialog box ----
  // Tab and Shift+Tab move the focus, the arrows move within a group of
  // options and choose, Enter presses the default button (or the focused
  // push button), Escape the cancel button.  Set before Load.
  bool dialogKeys = false;
  Control* defaultButton = nullptr;
  Control* cancelButton = nullptr;
  // The order in which Tab visits the controls (a container stands for the
  // controls in it, listed in their turn); options listed one after another
  // form one group with one Tab stop, on the chosen one.  Controls not listed
  // are never focused by the keyboard.  Set before Load.
  void SetTabOrder(std::vector<Control*> order) { tabOrder_ = std::move(order); }
  // The push button that Enter presses now: the focused one, else the default.
  Control* currentDefault() const { return currentDefault_ ? currentDefault_ : defaultButton; }
  // A push button took the focus, or (null) the focus left the push buttons.
  void PushButtonFocused(Control* button);
  // Each group of options has its Tab stop on its chosen option, or on its
  // first when none is chosen.
  void UpdateTabStops();

  // The program ends (the message loop returns) when its last form is unloaded.
  static int LoadedForms();

 protected:
  virtual void OnLoad() {}
  virtual void OnQueryUnload(bool& cancel, UnloadMode mode) { (void)cancel, (void)mode; }
  virtual void OnUnload(bool& cancel) { (void)cancel; }
  virtual void OnPaint(HDC dc) { (void)dc; }
  // The client area has a new size (also its first one, before it is shown).
  virtual void OnResize() {}
  // Other messages; return true when handled (result in *result).
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    (void)message, (void)wParam, (void)lParam, (void)result;
    return false;
  }

 private:
  friend class Control;
  friend class Timer;
  friend LRESULT CALLBACK FormProc(HWND, UINT, WPARAM, LPARAM);
  void Create();
  void Destroyed();
  void AddControl(Control* control) { controls_.push_back(control); }
  void RemoveControl(Control* control);
  void EnsureImage();
  void Resized(int width, int height);
  void ApplyTabOrder();
  // WM_COMMAND as the dialog keys send it (Enter, Escape); true when handled.
  bool KeyCommand(WPARAM wParam);
  void FocusFirstControl();

  HWND hwnd_ = nullptr;
  std::vector<Control*> tabOrder_;
  Control* currentDefault_ = nullptr;
  HWND lastFocus_ = nullptr;  // restored when the form is activated again
  std::string caption_;
  COLORREF backColour_ = GetSysColor(COLOR_BTNFACE);
  RECT pending_ = {0, 0, 4800, 3600};  // twips, until the window exists
  bool unloading_ = false;
  bool modalDone_ = false;
  std::vector<Control*> controls_;
  std::vector<Timer*> timers_;
  HDC imageDc_ = nullptr;
  HBITMAP image_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  int imageWidth_ = 0, imageHeight_ = 0;
  SIZE clientSize_ = {-1, -1};  // pixels, as last reported
};

// Runs the window messages until the program ends; returns the exit code.
int RunMessageLoop();

// ---- controls ------------------------------------------------------------------

class PictureBox;

// What a control is to the keyboard and to assistive technology.
enum class Role {
  kStatic,      // seen, never focused (a picture, a text)
  kPushButton,  // Space (on release) and Enter press it
  kCheckBox,    // Space toggles it
  kOption,      // one of a group: the arrows move and choose, Space chooses
  kLink,        // Space and Enter open it
  kSystem,      // a system control, which answers for itself
};
// The roles the keyboard's focus can reach.
inline bool TakesFocus(Role role) {
  return role == Role::kPushButton || role == Role::kCheckBox || role == Role::kOption || role == Role::kLink;
}

// A child window of a form, or of a picture box on it (its container).
// Controls sharing a name are told apart by `index`.
class Control {
 public:
  Control(Form& owner, int index = 0);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  HWND hwnd() const { return hwnd_; }
  Form& owner() const { return owner_; }
  const int index;

  // Puts the control into a picture box: it moves with it and its geometry is
  // relative to it.  Set before the form is loaded.
  void SetContainer(PictureBox* container);
  // The window identifier (as GetDlgItem finds it).  Set before loading.
  void SetId(int id) { id_ = id; }
  int id() const { return id_; }
  // The cursor shown over the control; null for the arrow.
  HCURSOR cursor = nullptr;

  // Geometry in twips, relative to the container's client area.
  void Move(int left, int top, int width, int height);
  int Left() const { return rect_.left; }
  int Top() const { return rect_.top; }
  int Width() const { return rect_.right - rect_.left; }
  int Height() const { return rect_.bottom - rect_.top; }
  int PixelWidth() const { return PixelsX(Width()); }
  int PixelHeight() const { return PixelsY(Height()); }

  void SetVisible(bool visible);
  bool visible() const { return visible_; }
  void SetEnabled(bool enabled);
  bool enabled() const { return enabled_; }
  void Refresh();

  std::function<void(int index)> onClick;
  // The control's action, as a click, Space, Enter or assistive technology
  // asks for it: nothing while it is disabled.
  virtual void Press();

  // The keyboard and accessibility.  Set the role before loading.
  Role role = Role::kStatic;
  // Checked (a check box) or chosen (an option).
  void SetChecked(bool checked);
  bool checked() const { return checked_; }
  // The window text, which assistive technology reads as the control's name.
  void SetText(const std::string& text);
  const std::string& text() const { return text_; }
  // A name other than the text, for a text that says what is chosen (a path)
  // rather than what it is: the text is then read as its value.
  std::string accessibleName;
  bool focused() const { return hasFocus_; }
  // Focus is shown unless the window's keyboard cues hide it.
  bool ShowsFocus() const;

 protected:
  // The window class and styles of this kind of control; created with the form.
  virtual const wchar_t* ClassName() const;
  virtual DWORD Style() const { return 0; }
  virtual void Paint(HDC dc) { (void)dc; }
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual void Created() {}
  virtual void Resized() {}
  // It became, or stopped being, the push button that Enter presses.
  virtual void DefaultChanged() { Refresh(); }
  // Fills the control with what lies behind it: the container's or the
  // form's persistent image, or else the form's back colour.
  void PaintBackground(HDC dc);

 private:
  friend class Form;
  friend LRESULT CALLBACK ControlProc(HWND, UINT, WPARAM, LPARAM);
  void Create();
  // Keys, button messages and WM_GETOBJECT for the roles; true when handled.
  bool RoleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

  Form& owner_;
  PictureBox* container_ = nullptr;
  bool holdsControls_ = false;  // a container: the keyboard goes into it
  bool checked_ = false;
  bool hasFocus_ = false;
  bool spaceDown_ = false;
  bool groupStart_ = true;  // an option that begins its group (set by the tab order)
  std::string text_;
  int id_ = 0;
  HWND hwnd_ = nullptr;
  RECT rect_ = {0, 0, 1200, 1200};
  bool visible_ = true;
  bool enabled_ = true;
};

// A picture box: a back colour and a persistent image that keeps whatever is
// drawn into its device context and repaints the box from it.  Other controls
// may stand in it (SetContainer).
class PictureBox : public Control {
 public:
  using Control::Control;
  ~PictureBox() override;

  // The persistent image's device context: draw into it, then Refresh.
  HDC hdc();
  // Repaints the box and the controls in it.
  void Refresh();
  void SetBackColour(COLORREF colour);  // also clears the image to that colour
  COLORREF backColour() const { return backColour_; }
  void Cls();
  // The picture becomes the box's background: the image is cleared and the
  // picture drawn at its own size from the top-left corner.
  void SetPicture(std::shared_ptr<Picture> picture);
  const std::shared_ptr<Picture>& picture() const { return picture_; }
  // Copies (stretching when sizes differ) a rectangle of a picture, in
  // pixels, into a rectangle of the box.
  void PaintPicture(const Picture& picture, int x, int y, int width, int height, int srcX, int srcY,
                    int srcWidth, int srcHeight);
  // Writes the persistent image as a 24-bit bottom-up BMP file; false on failure.
  bool SaveImage(const std::string& path);
  // The image's pixels, 24-bit rows padded to 4 bytes, bottom row first.
  std::vector<std::uint8_t> ImageRows(int* width, int* height);

 protected:
  DWORD Style() const override { return WS_CLIPCHILDREN; }
  void Paint(HDC dc) override;
  void Created() override;
  void Resized() override;

 private:
  void EnsureImage();

  COLORREF backColour_ = GetSysColor(COLOR_BTNFACE);
  std::shared_ptr<Picture> picture_;
  HDC imageDc_ = nullptr;
  HBITMAP image_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  int imageWidth_ = 0, imageHeight_ = 0;
};

// An image control: shows a picture at its own size or stretched to the
// control; where the picture does not reach, what lies behind shows.
class Image : public Control {
 public:
  using Control::Control;
  void SetPicture(std::shared_ptr<Picture> picture);
  const std::shared_ptr<Picture>& picture() const { return picture_; }
  bool stretch = false;

 protected:
  void Paint(HDC dc) override;

 private:
  std::shared_ptr<Picture> picture_;
};

// A label: caption text in a font and colours of its own.
class Label : public Control {
 public:
  using Control::Control;
  ~Label() override;
  void SetCaption(const std::string& caption);
  const std::string& caption() const { return caption_; }
  void SetForeColour(COLORREF colour);
  void SetBackColour(COLORREF colour);
  COLORREF backColour() const { return backColour_; }
  COLORREF foreColour() const { return foreColour_; }
  void SetFont(const char* face, double points, bool bold = false, bool underline = false);
  bool transparent = true;  // what lies behind shows through
  bool border = false;      // a single sunken border
  UINT alignment = DT_LEFT;

 protected:
  void Paint(HDC dc) override;

 private:
  std::string caption_;
  COLORREF foreColour_ = GetSysColor(COLOR_BTNTEXT);
  COLORREF backColour_ = GetSysColor(COLOR_BTNFACE);
  HFONT font_ = nullptr;
};

// A drop-down list with an editable text.
class ComboBox : public Control {
 public:
  explicit ComboBox(Form& owner, int index = 0) : Control(owner, index) { role = Role::kSystem; }
  void AddItem(const std::string& item);
  void Clear();
  int ListCount() const;
  std::string Item(int i) const;
  void SetText(const std::string& text);
  std::string Text() const;
  void SetFont(const char* face, double points);
  ~ComboBox() override;

 protected:
  const wchar_t* ClassName() const override { return L"COMBOBOX"; }
  DWORD Style() const override { return CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP; }
  void Created() override;

 private:
  HFONT font_ = nullptr;
  std::vector<std::string> pending_;
  std::string pendingText_;
};

// A filled rectangle with a border.  Shapes are drawings on their container:
// they stay behind every other control on it.
class Shape : public Control {
 public:
  using Control::Control;
  COLORREF fillColour = RGB(255, 255, 255);
  COLORREF borderColour = RGB(0, 0, 0);
  bool filled = true;

 protected:
  void Paint(HDC dc) override;
  void Created() override;
};

// A timer: one event per interval on the window thread while enabled.
class Timer {
 public:
  Timer(Form& owner, UINT intervalMs, bool enabled);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;
  void SetEnabled(bool enabled);
  bool enabled() const { return enabled_; }
  void SetInterval(UINT intervalMs);
  UINT interval() const { return interval_; }
  std::function<void()> onTimer;

 private:
  friend class Form;
  friend LRESULT CALLBACK FormProc(HWND, UINT, WPARAM, LPARAM);
  void Arm();
  Form& owner_;
  UINT interval_;
  bool enabled_;
  UINT_PTR id_;
};

}  // namespace gelmo::forms
