// Names by which the two programs find each other and themselves, for every
// module above the forms layer (start-up, the saver, the dialog, the
// renderer).  Code page 932 texts, as every text of the programs; the forms
// layer converts them at the platform seam.
#pragma once

namespace gelmo {

constexpr char kSaverCaption[] = "Gelmo_Main";    // the saver window
constexpr char kDialogCaption[] = "<ゲルモ>";     // the settings dialog
constexpr char kRendererCaption[] = "Gelmo_VC";   // the renderer's window
constexpr char kRendererFileName[] = "ゲルモ.dll";  // beside the screensaver program
constexpr char kFillScreenSwitch[] = "/fill";       // the saver asks the renderer to fill every screen
// The saver will change the sheet's picture (a folder of pictures): the
// renderer makes the second sheet texture's memory ready before it draws.
constexpr char kSlideShowSwitch[] = "/slides";
// Fill mode with a folder of pictures on several monitors: the saver gives
// each monitor a picture of its own, in the hand-off bitmaps after the first
// (MonitorBitmapPath), and the renderer draws each monitor's sheet with its own.
constexpr char kPicturePerMonitorSwitch[] = "/monitors";
// Posted by the saver to the renderer's window once a new object hand-off
// bitmap is in place: the sheet changes to it.  With a picture per monitor,
// the wParam is the index of the monitor whose bitmap it is (0 the first).
constexpr char kNextPictureMessage[] = "Gelmo_NextPicture";
constexpr char kHomePage[] = "https://gelmo.example.jp/";  // the settings dialog's link

}  // namespace gelmo
