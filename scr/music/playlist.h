// The songs of a folder, or the one music file, played one after another
// without a gap: in the shuffled rounds of SlideOrder, each next song opened
// while the one before still plays and started the moment the platform says
// that one has ended.  A song that will not open or play is passed over at
// once and not tried again.  A single song follows itself, so it repeats as
// seamlessly.
#pragma once

#include <cstdint>
#include <string>

#include "scr/saver/slide_order.h"

namespace gelmo {

// The platform's player of songs (scr/music/music_win.h).  It names each
// song it opens by a number; when a song ends or fails while it plays, the
// platform says so later through the owning window, and that word comes
// back to Playlist::Ended or Playlist::Failed.
class SongPort {
 public:
  virtual ~SongPort() = default;
  // Opens the song ready to start at once: its number, or 0 when it will not open.
  virtual int Open(const std::string& path) = 0;
  // Starts an opened song; false when it will not play.
  virtual bool Start(int song) = 0;
  virtual void Close(int song) = 0;
};

class Playlist {
 public:
  Playlist(SongPort& port, std::uint32_t seed) : port_(port), order_(seed) {}
  ~Playlist() { Stop(); }
  Playlist(const Playlist&) = delete;
  Playlist& operator=(const Playlist&) = delete;

  // A song found; it joins the round in progress.
  void Add(std::string path) { order_.Add(std::move(path)); }
  // Starts a song when none plays, and opens the one to follow it when none
  // is open: called once the first songs are known, and again as more come.
  void Play();
  // The platform's word on a song: it has come to its end, or it will not
  // (go on to) play.
  void Ended(int song);
  void Failed(int song);
  // Closes the songs; nothing plays after it.
  void Stop();

  // The song playing and the one opened to follow it; 0 for none.
  int playing() const { return playing_.id; }
  int following() const { return next_.id; }
  // Songs that may still be played.
  std::size_t size() const { return order_.size(); }

 private:
  struct Song {
    int id = 0;
    std::string path;
  };
  // The next song of the order, opened; none when no song opens.
  Song OpenNext();
  void Forget(Song& song, bool dropped);

  SongPort& port_;
  SlideOrder order_;
  Song playing_, next_;
  bool stopped_ = false;
};

}  // namespace gelmo
