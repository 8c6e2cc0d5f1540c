// Gelmo_BGM: the background music.  Audio CD and MP3 files through media-
// control command strings, WAV files through the platform's sound player,
// repetition by polling from the saver window's timers.  The platform comes in
// through MciPort, so that the command sequences can be checked against
// scripted device replies.
#pragma once

#include <cstdint>
#include <string>

namespace gelmo {

class MciPort {
 public:
  virtual ~MciPort() = default;
  // mciSendStringA with no callback window.  With replySize 0 no reply buffer
  // is offered; otherwise the device's reply is cut to replySize - 1 bytes.
  virtual std::uint32_t SendString(const std::string& command, std::string* reply, unsigned replySize) = 0;
  // mciGetErrorStringA into a buffer of `size` bytes; false when no text exists.
  virtual bool ErrorString(std::uint32_t code, std::string* text, unsigned size) = 0;
  // PlaySoundA(sound or no sound, no module, flags).
  virtual std::int32_t SoundCommand(const std::string* sound, std::uint32_t flags) = 0;
  virtual unsigned WaveOutDevices() = 0;
};

// True when the last three characters of the file name, upper-cased, are
// `extension` ("WAV", "MP3"): how the saver tells music files apart.
bool HasMusicExtension(const std::string& file, const char* extension);

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
  void Mp3OpenAndPlay();
  bool IsMp3Playing();
  void Mp3KeepPlaying();
  void Mp3Close();
  void WavPlay();
  void WavStop();

 private:
  void Send(const char* command);  // no reply buffer; result to lastApiResult

  MciPort& port_;
  std::int32_t& lastApiResult_;
};

}  // namespace gelmo
