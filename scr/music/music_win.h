// The songs on this system's own players: which music files it plays, the
// player that plays them (Media Foundation where it can be created, the media
// control interface otherwise), the listing of a folder's songs, and the fade
// at the end of the saver.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "scr/music/playlist.h"

struct ISimpleAudioVolume;

namespace gelmo::music {

// Sent to the window that owns the songs when one of them has ended
// (lParam kSongEnded) or will not play (kSongFailed); wParam is the song.
// The media control interface sends MM_MCINOTIFY instead (SongOfNotice).
constexpr UINT kSongMessage = WM_APP + 20;
enum SongNotice : LPARAM { kSongEnded = 1, kSongFailed = 2 };

// The extensions (without the dot) of the music files the player in use
// plays, in the order of kMusicExtensions.
std::vector<std::string> MusicFileExtensions();

// True when the file opens in the player in use.
bool OpensAsSong(const std::string& path);

// True when the folder, or a folder in it, holds a music file that opens.
bool FolderHasSong(const std::string& folder);

// The songs' player for the window `owner`, which receives kSongMessage and
// MM_MCINOTIFY and hands them to SongOfNotice.
class SongPlayer : public SongPort {
 public:
  virtual ~SongPlayer() = default;
  // The platform's message, when it is about a song: the song and whether it
  // ended (else it failed).  False for any other message.
  virtual bool SongOfNotice(UINT message, WPARAM wParam, LPARAM lParam, int* song, bool* ended) = 0;
  // Lowers the song playing to silence over `ms` milliseconds, and returns
  // when it is silent.
  virtual void FadeOut(unsigned ms) = 0;
};
std::unique_ptr<SongPlayer> MakeSongPlayer(HWND owner);

// The songs of a folder and the folders in it, listed on a thread of their
// own; the window thread takes what has been found so far.
class SongListing {
 public:
  explicit SongListing(const std::string& folder);
  ~SongListing();
  SongListing(const SongListing&) = delete;
  SongListing& operator=(const SongListing&) = delete;
  // The songs found since the last call.
  std::vector<std::string> Take();
  bool done() const { return shared_->done.load(); }

 private:
  struct Shared {
    std::mutex lock;
    std::vector<std::string> found;
    std::atomic<bool> done{false}, stop{false};
  };
  std::shared_ptr<Shared> shared_;
};

// The volume of this program's default audio session on the default output;
// null where there is none.  The caller releases it.
ISimpleAudioVolume* ProgramSessionVolume();

// Lowers the volume of what the platform's sound player plays for this
// program to silence over `ms` milliseconds (the audio session's volume,
// which Windows applies to every stream of the program), runs `stop`, then
// gives the session its volume back, so that the next run starts at the
// user's volume.
void FadeOut(unsigned ms, const std::function<void()>& stop);

}  // namespace gelmo::music
