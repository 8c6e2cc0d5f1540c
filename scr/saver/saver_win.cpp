#include "scr/saver/saver_win.h"

#include <algorithm>

#include "renderer/screen_layout_win.h"
#include "scr/forms/program_names.h"
#include "scr/forms/program_win.h"
#include "scr/forms/text_win.h"
#include "scr/settings/settings_win.h"

namespace gelmo {

SaverForm::SaverForm(Music& music) : music_(music) {
  SetCaption(kSaverCaption);
  border = forms::Border::kNone;
  // Sized first, so each image is made once, at its design size.
  Master.Move(0, 0, 1095, 1155);
  Master.SetBackColour(RGB(0, 0, 0));
  Pic_C.Move(0, 0, 1095, 1155);
  Pic_C.SetBackColour(RGB(0, 0, 0));
  SongTimer.onTimer = [this] { SongTimer_Timer(); };
  Timer2.onTimer = [this] { Timer2_Timer(); };
  Timer3.onTimer = [this] { Timer3_Timer(); };
  SlideTimer.onTimer = [this] { slides_->Tick(); };
}

void SaverForm::LoadIntoMaster(const std::string& file) {
  SetPicture(pictures::LoadPicture(file, {Master.backColour(), pictures::kLongestPictureSide}));
}

// The whole picture, at its own size, goes to the renderer.
void SaverForm::SetPicture(std::shared_ptr<forms::Picture> picture) {
  if (!picture) return;
  Master.Move(0, 0, picture->width() * forms::TwipsPerPixelX(), picture->height() * forms::TwipsPerPixelY());
  Master.SetPicture(std::move(picture));
}

void SaverForm::OnLoad() {
  const SaverSettings& settings = g_saverSettings;
  Move(0, 0, forms::ScreenWidthTwips(), forms::ScreenHeightTwips());

  if (settings.ObjKind == 2) {
    // Fill mode on several monitors gives each its own picture of the folder.
    std::vector<int> longestSides;
    if (settings.FillScreen == 1)
      for (const ScreenRect& monitor : DisplayMonitors())
        longestSides.push_back(std::min(std::max(monitor.width, monitor.height), pictures::kLongestPictureSide));
    if (longestSides.size() < 2) longestSides = {pictures::kLongestPictureSide};
    slides_ = std::make_unique<SlideShow>(settings.SlideFolder, settings.SlideSeconds, Master.backColour(),
                                          std::move(longestSides));
    SetPicture(slides_->First());
    SlideTimer.SetEnabled(true);
  } else if (settings.ObjKind != 0) {
    LoadIntoMaster(settings.ObjFile());
  } else {
    // The desktop as it looks now, from its top-left corner.
    HWND desktop = GetDesktopWindow();
    HDC dc = GetDC(desktop);
    SetPicture(pictures::CapturePicture(dc, forms::PixelsX(ClientWidth()), forms::PixelsY(ClientHeight()),
                                     pictures::kLongestPictureSide));
    ReleaseDC(desktop, dc);
  }
  Master.SaveImage(kObjectBitmapPath);

  switch (settings.BackKind) {
    case 0: {
      COLORREF colour;
      if (forms::AcceptedColour(settings.BackColour, &colour)) Pic_C.SetBackColour(colour);
      Pic_C.SaveImage(kBackgroundBitmapPath);
      break;
    }
    case 2:
      LoadIntoMaster(settings.BackFile());
      Master.SaveImage(kBackgroundBitmapPath);
      break;
    default:  // the desktop capture, or the object picture, as it stands
      Master.SaveImage(kBackgroundBitmapPath);
      break;
  }

  // Both bitmaps are complete before the renderer reads them.
  RendererPath = JoinPath(forms::ProgramFolder(), kRendererFileName);
  std::string switches;
  auto add = [&](const char* word) { switches += (switches.empty() ? "" : " ") + std::string(word); };
  if (settings.FillScreen == 1) add(kFillScreenSwitch);
  if (slides_) add(kSlideShowSwitch);
  if (slides_ && slides_->PicturePerMonitor()) add(kPicturePerMonitorSwitch);
  forms::StartProgram(RendererPath, switches, &renderer_);

  music_.BgmFile = settings.BgmFile;
  music_.BgmRepeat = settings.BgmRepeat;
  if (settings.BgmKind == 1) {
    music_.CdOpen();
    Timer2.SetEnabled(true);
  } else if (settings.BgmKind == 2 && HasMusicExtension(settings.BgmFile, "WAV")) {
    music_.WavPlay();
  } else if (settings.BgmKind == 2 || settings.BgmKind == 3) {
    StartSongs(settings);
  }
}

void SaverForm::StartSongs(const SaverSettings& settings) {
  songPlayer_ = music::MakeSongPlayer(hwnd());
  playlist_ = std::make_unique<Playlist>(*songPlayer_, ShuffleSeed());
  if (settings.BgmKind == 2) {
    playlist_->Add(settings.BgmFile);  // alone, it follows itself
    playlist_->Play();
  } else if (!settings.BgmFolder.empty()) {
    songListing_ = std::make_unique<music::SongListing>(settings.BgmFolder);
    SongTimer.SetEnabled(true);
  }
}

// The first song need not wait for the whole listing: it is drawn from those
// found within a short while of the first one.  Songs found later join the
// rounds.
void SaverForm::SongTimer_Timer() {
  constexpr std::uint64_t kGatherMs = 50;
  const bool listed = songListing_->done();
  for (std::string& path : songListing_->Take()) {
    playlist_->Add(std::move(path));
    if (!firstSongAt_) firstSongAt_ = GetTickCount64();
  }
  songsStarted_ = songsStarted_ || listed || (firstSongAt_ && GetTickCount64() - firstSongAt_ >= kGatherMs);
  if (songsStarted_) playlist_->Play();
  if (listed) {
    SongTimer.SetEnabled(false);
    songListing_.reset();
  }
}

bool SaverForm::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  int song = 0;
  bool ended = false;
  if (!songPlayer_ || !songPlayer_->SongOfNotice(message, wParam, lParam, &song, &ended)) return false;
  if (ended)
    playlist_->Ended(song);
  else
    playlist_->Failed(song);
  *result = 0;
  return true;
}

// The saver ends with the renderer's window.  A renderer still starting (its
// process running, its window not yet open: the machine may be busy with the
// next picture) is waited for.
void SaverForm::Timer3_Timer() {
  if (FindWindowW(nullptr, forms::Wide(kRendererCaption).c_str())) {
    rendererShown_ = true;
    return;
  }
  if (!rendererShown_ && renderer_ && WaitForSingleObject(renderer_, 0) == WAIT_TIMEOUT) return;
  if (renderer_) CloseHandle(renderer_);
  renderer_ = nullptr;
  Timer3.SetEnabled(false);
  Unload();
}

void SaverForm::Timer2_Timer() {
  music_.CdKeepPlaying();
  // Once the CD has answered with an error, the check stays off.
  Timer2.SetEnabled(music_.CdPlayable);
}

void SaverForm::OnQueryUnload(bool&, forms::UnloadMode) {
  if (Timer2.enabled()) {
    Timer2.SetEnabled(false);
    music_.CdClose();
  }
  // The music fades out rather than stopping dead.
  constexpr unsigned kFadeMs = 500;
  if (playlist_) {
    songPlayer_->FadeOut(kFadeMs);
    SongTimer.SetEnabled(false);
    songListing_.reset();
    playlist_.reset();
    songPlayer_.reset();
  }
  if (g_saverSettings.BgmKind == 2 && HasMusicExtension(g_saverSettings.BgmFile, "WAV"))
    music::FadeOut(kFadeMs, [&] { music_.WavStop(); });
  if (restoresCursor) ShowCursor(g_cursorShowCount != 0);
  forms::EndProgram();
}

}  // namespace gelmo
