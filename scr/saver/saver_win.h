// Gelmo_S: the saver window.  Never shown; it writes the two hand-off bitmaps,
// starts the renderer and the music, and ends the program when the renderer's
// window has gone.
#pragma once

#include <string>

#include "scr/forms/forms_win.h"
#include "scr/music/music.h"
#include "scr/music/music_win.h"
#include "scr/music/playlist.h"
#include "scr/saver/slide_show_win.h"

namespace gelmo {

constexpr char kObjectBitmapPath[] = "C:\\Gelmo01.bmp";
constexpr char kBackgroundBitmapPath[] = "C:\\Gelmo02.bmp";

class SaverForm : public forms::Form {
 public:
  explicit SaverForm(Music& music);

  forms::PictureBox Master{*this};  // object work surface
  forms::PictureBox Pic_C{*this};   // plain-colour background
  forms::Timer SongTimer{*this, 50, false};  // a folder's songs: taking in those listed
  forms::Timer Timer2{*this, 200, false};   // audio-CD keep-playing check
  forms::Timer Timer3{*this, 500, true};    // renderer watch
  forms::Timer SlideTimer{*this, 250, false};  // a folder's pictures: the next one's time
  std::string RendererPath;
  // Start-up hid the cursor (the saver mode proper): it is shown again at the end.
  bool restoresCursor = false;

 protected:
  void OnLoad() override;
  void OnQueryUnload(bool& cancel, forms::UnloadMode mode) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  // Music kinds 2 (but a WAV file, which the sound player loops) and 3.
  void StartSongs(const SaverSettings& settings);
  void SongTimer_Timer();
  void Timer2_Timer();
  void Timer3_Timer();
  // Puts a picture file into Master, upright and reduced to what a screen
  // shows; a file that cannot be loaded changes nothing.
  void LoadIntoMaster(const std::string& file);
  // Master takes the picture's size and the picture; none changes nothing.
  void SetPicture(std::shared_ptr<forms::Picture> picture);

  Music& music_;
  std::unique_ptr<music::SongPlayer> songPlayer_;  // songs only
  std::unique_ptr<Playlist> playlist_;
  std::unique_ptr<music::SongListing> songListing_;  // music kind 3, while listing
  std::uint64_t firstSongAt_ = 0;                     // GetTickCount64 when the listing found one
  bool songsStarted_ = false;
  std::unique_ptr<SlideShow> slides_;  // object kind 2 only
  HANDLE renderer_ = nullptr;          // the renderer's process while it runs
  bool rendererShown_ = false;         // its window has been seen
};

}  // namespace gelmo
