// Gelmo_P: the settings dialog.  In three groups it shows and changes the
// object picture, the background and the music of SaverSettings, and with a
// check box whether the renderer fills every screen; it writes
// them to ゲルモ.ini when the user confirms.  It opens and closes with a zoom
// from and to the place where the mouse stood when it opened.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "scr/button/command_win.h"
#include "scr/dialog/dialog_rules.h"
#include "scr/forms/forms_win.h"

namespace gelmo {

// ---- the zoom animation ------------------------------------------------------

// The mouse position when the dialog opened: where the opening zoom starts and
// the closing one ends (screen pixels; 0, 0 until set).
extern std::int16_t g_animOriginX, g_animOriginY;
// The caption animation from that point to the window's rectangle, and back.
void AnimateOpen(HWND window);
void AnimateClose(HWND window);

// ---- the platform's choosers --------------------------------------------------

// The modal file-open and colour dialogs.  The dialog hands them its records;
// a test may look at the records on their way.
class Choosers {
 public:
  virtual ~Choosers() = default;
  virtual BOOL OpenFile(OPENFILENAMEW* record) { return GetOpenFileNameW(record); }
  virtual BOOL ChooseColour(CHOOSECOLORW* record) { return ChooseColorW(record); }
  // The platform's folder chooser, opening at `start`; false when cancelled.
  virtual bool PickFolder(HWND owner, const std::wstring& start, std::wstring* chosen);
};

// ---- the dialog ----------------------------------------------------------------------

// Window identifiers of the controls (an indexed control adds its index), so
// that they can be found with GetDlgItem from the dialog or the panel.
enum DialogControlId : int {
  kIdCmdSet = 100,
  kIdCmdCan,
  kIdPic,
  kIdCmdColor,
  kIdLblColor,
  kIdBgmRepeat,
  kIdLblUrl,
  kIdCmdF = 110,      // + 0 object, 1 background, 2 music
  kIdLblFname = 120,  // + the same index
  kIdImg = 130,       // + 0 object, 1 background
  kIdImgObj = 140,
  kIdLblObj = 150,
  kIdImgBack = 160,
  kIdLblBack = 170,
  kIdImgBgm = 180,
  kIdLblBgm = 190,
  kIdLbl = 200,     // + the label's index
  kIdShape3 = 210,  // + the shape's index
  kIdImgRa = 220,
  kIdImgFill = 230,
  kIdLblFill = 240,
  kIdCmdFolder = 250,
  kIdLblFolder,
  kIdSlideTime,
  kIdCmdBgmFolder,
  kIdLblBgmFolder,
};

class SettingsDialog : public forms::Form {
 public:
  explicit SettingsDialog(Choosers& choosers);

  // The panel that holds the three groups; most controls stand in it.
  forms::PictureBox Pic{*this};

  // Headings: lbl(0) to lbl(2) on Shape3(0), Shape3(1), Shape3(3); lbl(3)
  // beside the repeat box; lbl(7) above the home-page link.
  forms::Shape& Shape3(int index);
  forms::Label& lbl(int index);

  // Object group; option 2 with its folder row and the time each picture stays.
  forms::Image Img_Obj[3] = {forms::Image(*this, 0), forms::Image(*this, 1), forms::Image(*this, 2)};
  forms::Label lbl_Obj[3] = {forms::Label(*this, 0), forms::Label(*this, 1), forms::Label(*this, 2)};
  Command Cmd_Folder{*this};
  forms::Label lbl_Folder{*this};
  forms::ComboBox Slide_Time{*this};
  // Background group.
  forms::Image Img_Back[3] = {forms::Image(*this, 0), forms::Image(*this, 1), forms::Image(*this, 2)};
  forms::Label lbl_Back[3] = {forms::Label(*this, 0), forms::Label(*this, 1), forms::Label(*this, 2)};
  Command Cmd_Color{*this};
  forms::Label lbl_Color{*this};  // the colour swatch
  // Music group, shown in the order 1, 0, 2, 3; option 3 with its folder row.
  forms::Image Img_BGM[4] = {forms::Image(*this, 0), forms::Image(*this, 1), forms::Image(*this, 2),
                             forms::Image(*this, 3)};
  forms::Label lbl_BGM[4] = {forms::Label(*this, 0), forms::Label(*this, 1), forms::Label(*this, 2),
                             forms::Label(*this, 3)};
  forms::ComboBox BGM_Repeat{*this};
  Command Cmd_BgmFolder{*this};
  forms::Label lbl_BgmFolder{*this};
  // Per file: 0 object picture, 1 background picture, 2 music.
  Command Cmd_F[3] = {Command(*this, 0), Command(*this, 1), Command(*this, 2)};
  forms::Label lbl_Fname[3] = {forms::Label(*this, 0), forms::Label(*this, 1), forms::Label(*this, 2)};
  forms::Image Img[2] = {forms::Image(*this, 0), forms::Image(*this, 1)};  // thumbnails

  // Display: the check box "画面全体に表示", the option picture and its text.
  forms::Image Img_Fill{*this};
  forms::Label lbl_Fill{*this};

  // Below the panel.
  forms::Label lbl_URL{*this};
  Command Cmd_Set{*this};
  Command Cmd_Can{*this};
  // The two option pictures, never seen: 0 unmarked, 1 marked.
  forms::Image Img_Ra[2] = {forms::Image(*this, 0), forms::Image(*this, 1)};

  // The handlers, as the controls' events call them.
  void Img_Obj_Click(int index);
  void lbl_Obj_Click(int index) { Img_Obj_Click(index); }
  void Img_Back_Click(int index);
  void lbl_Back_Click(int index) { Img_Back_Click(index); }
  void Img_BGM_Click(int index);
  void lbl_BGM_Click(int index) { Img_BGM_Click(index); }
  void Img_Fill_Click();
  void lbl_Fill_Click() { Img_Fill_Click(); }
  void Cmd_F_Click(int index);
  void Cmd_Folder_Click();
  void Cmd_BgmFolder_Click();
  void Cmd_Color_Click();
  void Cmd_Set_Click();
  void Cmd_Can_Click();
  void lbl_URL_Click();

 protected:
  void OnLoad() override;      // Form_Load
  void OnResize() override;    // Form_Resize
  void OnUnload(bool& cancel) override;  // Form_Unload

 private:
  void Arrange();
  void MarkOption(forms::Image* images, forms::Label* labels, int count, std::int16_t kind);
  void MarkFillScreen();
  // The object group's buttons and time box for the kind, and its mark.
  void EnableObjectControls();
  // The music group's repeat box and buttons for the kind, and its mark.
  void EnableMusicControls();
  // True when the file could be read and its thumbnail shows.
  bool ShowThumbnail(int index, const std::string& file);
  // The thumbnail that `load` decodes, on a thread of its own, shown when it
  // is ready unless another has been asked for since: the dialog opens at
  // once and stays live however large the photos are.
  void ShowThumbnailWhenReady(int index, std::function<std::shared_ptr<forms::Picture>()> load);
  // The object thumbnail for the chosen kind: the picture file's, or the
  // first picture of the folder.
  void ShowObjectThumbnail();
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  // The time box's choice in seconds; the stored time when it names none.
  std::int32_t SlideSecondsChosen() const;

  Choosers& choosers_;
  unsigned thumbnailRequests_[2] = {};  // per thumbnail, the latest asked for
  std::vector<SlideTimeEntry> slideTimes_;
  forms::Shape shapes_[3] = {forms::Shape(*this, 0), forms::Shape(*this, 1), forms::Shape(*this, 3)};
  forms::Label labels_[5] = {forms::Label(*this, 0), forms::Label(*this, 1), forms::Label(*this, 2),
                             forms::Label(*this, 3), forms::Label(*this, 7)};
};

// Calls Initialize on every button control of the form, in the form's control
// order: each starts its hover tracking.
void SetAllButtons(forms::Form& form);

// The number the repeat box's text stands for: a number rounded to a whole
// one (halves to even), or 0 for no number and for one beyond 16 bits.
std::int16_t RepeatFromText(const std::string& text);

}  // namespace gelmo
