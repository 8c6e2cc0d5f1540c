// ゲルモ.scr: start-up and mode dispatch.  The screensaver host starts the
// program with a switch; it refuses a second copy, then embeds the preview,
// opens the settings dialog or runs the saver.
#include <windows.h>

#include "scr/dialog/dialog_win.h"
#include "scr/forms/program_names.h"
#include "scr/forms/program_win.h"
#include "scr/forms/text_win.h"
#include "scr/music/mci_port_win.h"
#include "scr/saver/saver_win.h"
#include "scr/settings/settings_win.h"
#include "scr/start/command_line.h"
#include "scr/start/preview_win.h"

namespace gelmo {
namespace {

constexpr char kRendererMissing[] = "ゲルモ.dll が同じﾌｫﾙﾀﾞに見つかりません！";

int StartUp() {
  // One copy at a time: the saver or the dialog already open ends this start.
  if (FindWindowW(nullptr, forms::Wide(kSaverCaption).c_str()) ||
      FindWindowW(nullptr, forms::Wide(kDialogCaption).c_str()))
    return 0;

  const std::string commandLine = forms::CommandLineArguments();
  const StartRequest request = ParseCommandLine(commandLine);
  if (request.mode == StartMode::kPreview) {
    static PreviewForm preview;
    HWND host = reinterpret_cast<HWND>(static_cast<std::intptr_t>(request.hostWindow));
    // A handle that is not a window has nowhere to show the preview.
    if (!EmbedPreview(preview, host)) return 0;
    // The user's own pictures: the settings are read, never written.
    LoadSettings();
    StartLivePreview(preview, g_saverSettings);
    return forms::RunMessageLoop();
  }

  LoadSettings();
  if (!FileExists(JoinPath(forms::ProgramFolder(), kRendererFileName))) {
    forms::MessageBoxOk(kRendererMissing);
    return 0;
  }
  switch (request.mode) {
    case StartMode::kSettings: {
      // Modal and without owner; when it has closed the program ends.
      static Choosers choosers;
      static SettingsDialog dialog(choosers);
      dialog.Show(true);
      return 0;
    }
    case StartMode::kSaver:
      g_cursorShowCount = ShowCursor(FALSE);
      [[fallthrough]];
    case StartMode::kSaverCursorVisible: {
      // Filling every screen, the desktop capture takes the primary monitor
      // at its own pixels, as the renderer draws them.
      if (g_saverSettings.FillScreen == 1) forms::DeclareDpiAware();
      // The saver window runs the saver from its load on and ends the program.
      static WinMciPort port;
      static Music music(port, g_lastApiResult);
      static SaverForm saver(music);
      saver.restoresCursor = request.mode == StartMode::kSaver;
      saver.Load();
      return forms::RunMessageLoop();
    }
    default:
      return 0;  // an unrecognised switch shows nothing
  }
}

}  // namespace
}  // namespace gelmo

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return gelmo::StartUp(); }
