// Resource numbers of the screensaver program: its resource script (scr/start)
// and the windows that load them (the dialog, the preview) share them.
#pragma once

#define IDS_SCREEN_SAVER_NAME 1  // the screen saver list shows it (string 1)
#define IDI_WINDOW_ICON 1  // window icon, 32 x 32, 256 colours
#define IDR_PREVIEW_PICTURE 101
#define IDC_HAND_POINTER 102  // pointing hand cursor, hot spot at the finger tip
