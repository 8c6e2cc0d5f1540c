// Gelmo_BGM: the background music.  The audio CD through media-control
// command strings, kept playing by polling from the saver window's timer; WAV
// files looped by the platform's sound player; songs through the media
// control interface where no newer player can be created (MciSongs).  The
// platform comes in through MciPort, so that the command sequences can be
// checked against scripted device replies.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "scr/music/playlist.h"

namespace gelmo {

class MciPort {
 public:
  virtual ~MciPort() = default;
  // mciSendStringA with no callback window.  With replySize 0 no reply buffer
  // is offered; otherwise the device's reply is cut to replySize - 1 bytes.
  virtual std::uint32_t SendString(const std::string& command, std::string* reply, unsigned replySize) = 0;
  // mciSendStringA with no reply, the port's window to be told (MM_MCINOTIFY)
  // when the command's "notify" is due.
  virtual std::uint32_t SendNotify(const std::string& command) = 0;
  // The device that an open alias stands for, as MM_MCINOTIFY names it; 0 for none.
  virtual std::uint32_t DeviceOf(const std::string& alias) = 0;
  // mciGetErrorStringA into a buffer of `size` bytes; false when no text exists.
  virtual bool ErrorString(std::uint32_t code, std::string* text, unsigned size) = 0;
  // PlaySoundA(sound or no sound, no module, flags).
  virtual std::int32_t SoundCommand(const std::string* sound, std::uint32_t flags) = 0;
  virtual unsigned WaveOutDevices() = 0;
};

// True when the last three characters of the file name, upper-cased, are
// `extension` ("WAV", "MP3"): how the saver tells music files apart.
bool HasMusicExtension(const std::string& file, const char* extension);

// The music files that may be offered and played, by extension.  Which
// player serves them on Windows is told in scr/music/music_win.cpp.
inline constexpr const char* kMusicExtensions[] = {"mp3", "m4a", "aac", "flac", "wav", "wma", "ogg", "opus"};

// Those of kMusicExtensions that `registered` names (".mp3" or "mp3", in any
// case), in that order.  A player that names none of them by extension
// decides by the file's content: then all of them are taken, and a file it
// cannot play is found out when it is opened.
std::vector<std::string> PlayableExtensions(const std::vector<std::string>& registered);

class Music {
 public:
  // `lastApiResult` is the program-wide value that command results go to.
  Music(MciPort& port, std::int32_t& lastApiResult) : port_(port), lastApiResult_(lastApiResult) {}

  // The music settings in use.
  std::string BgmFile;
  std::int16_t BgmRepeat = 0;  // CD track to keep playing; 0 the whole disc

  // Module values the saver reads back or that tests look at.
  bool CdPlayable = false;
  std::string LastMciReply;

  std::int32_t SendMciString(const std::string& command, std::string& reply);
  std::string QueryMci(const std::string& command);
  std::int32_t PlayDevice(const std::string& device, const std::string& from, const std::string& to);

  void CdOpen();
  void CdKeepPlaying();
  void CdClose();
  void WavPlay();
  void WavStop();

 private:
  void Send(const char* command);  // no reply buffer; result to lastApiResult

  MciPort& port_;
  std::int32_t& lastApiResult_;
};

// Songs on the media control interface's MPEGVideo device (on Windows
// DirectShow: MP3, WAV and WMA), each under an alias of its own, so that the
// one to follow can be open while another plays.  Playing asks to be
// notified: MM_MCINOTIFY names the device when a song has ended
// (MCI_NOTIFY_SUCCESSFUL) or failed (MCI_NOTIFY_FAILURE).
class MciSongs : public SongPort {
 public:
  explicit MciSongs(MciPort& port) : port_(port) {}
  int Open(const std::string& path) override;
  bool Start(int song) override;
  void Close(int song) override;
  void CloseAll();
  // Every open song's volume, 0 to 1000.
  void SetVolume(unsigned level);
  // The song that MM_MCINOTIFY's device is.  A notice that names no device
  // of these (Wine's string interface names none) is about the song started
  // last, the only one that plays; 0 when that one is closed.
  int SongOfDevice(std::uint32_t device) const;

 private:
  static std::string Alias(int song) { return "GelmoSong" + std::to_string(song); }
  MciPort& port_;
  int opened_ = 0;
  int started_ = 0;
  std::map<int, std::uint32_t> devices_;  // the open songs
};

}  // namespace gelmo
