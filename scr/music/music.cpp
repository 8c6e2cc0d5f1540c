#include "scr/music/music.h"

#include "scr/settings/number_text.h"

namespace gelmo {
namespace {

// Texts in code page 932.
constexpr char kNoCommand[] = "\x83R\x83}\x83\x93\x83h\x95\xB6\x8E\x9A\x97\xF1\x82\xAA\x8E" "w"
                              "\x92\xE8\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1";  // コマンド文字列が指定されていません
constexpr char kNoErrorText[] = "Error (\x95\xB6\x8E\x9A\x97\xF1\x82\xAA\x8E\xE6\x82\xEA\x82\xDC\x82\xB9\x82\xF1)";  // Error (文字列が取れません)

constexpr unsigned kReplyBuffer = 512;
constexpr unsigned kErrorBuffer = 256;
constexpr unsigned kCdModeBuffer = 255;
constexpr unsigned kMp3ModeBuffer = 30;
constexpr std::uint32_t kSndAsync = 0x0001, kSndLoop = 0x0008;

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return text;
}

}  // namespace

bool HasMusicExtension(const std::string& file, const char* extension) {
  return file.size() >= 3 && Upper(file.substr(file.size() - 3)) == extension;
}

void Music::Send(const char* command) {
  lastApiResult_ = static_cast<std::int32_t>(port_.SendString(command, nullptr, 0));
}

std::int32_t Music::SendMciString(const std::string& command, std::string& reply) {
  if (command.empty()) {
    reply = kNoCommand;
    return -1;
  }
  std::string buffer;
  const std::int32_t code = static_cast<std::int32_t>(port_.SendString(command, &buffer, kReplyBuffer));
  lastApiResult_ = code;
  if (code != 0) {
    std::string text;
    reply = port_.ErrorString(static_cast<std::uint32_t>(code), &text, kErrorBuffer) ? text : kNoErrorText;
    return code;
  }
  reply = buffer;
  return 0;
}

std::string Music::QueryMci(const std::string& command) {
  const std::int32_t code = SendMciString(command, LastMciReply);
  lastApiResult_ = code;
  return code != 0 ? "Error:" + std::to_string(code) : LastMciReply;
}

std::int32_t Music::PlayDevice(const std::string& device, const std::string& from, const std::string& to) {
  std::string command = "play " + device;
  if (!from.empty()) command += " from " + from;
  if (!to.empty()) command += " to " + to;
  return SendMciString(command, LastMciReply);
}

void Music::CdOpen() {
  // Playing starts at the first check, which finds the disc stopped.
  Send("open cdaudio");
  Send("set cdaudio time format tmsf");
}

void Music::CdKeepPlaying() {
  CdPlayable = true;
  const std::string current = QueryMci("status cdaudio current track");
  if (Upper(current).find("ERR") != std::string::npos) {
    CdPlayable = false;
    return;
  }
  const std::string count = QueryMci("status cdaudio number of tracks");
  if (Upper(count).find("ERR") != std::string::npos) {
    CdPlayable = false;
    return;
  }
  std::string modeBuffer;
  lastApiResult_ = static_cast<std::int32_t>(port_.SendString("status cdaudio mode", &modeBuffer, kCdModeBuffer));
  const bool stopped = modeBuffer.substr(0, 7) == "stopped";

  if (BgmRepeat == 0) {
    if (stopped) PlayDevice("cdaudio", "", "");
    return;
  }
  // The track number must read as a number; a device that answers anything
  // else is taken as gone, like an error reply.
  const auto parsed = ParseNumberText(current);
  const auto track = parsed ? RoundHalfEven(*parsed) : std::nullopt;
  if (!track) {
    CdPlayable = false;
    return;
  }
  if (stopped || *track != BgmRepeat) {
    // From the start of the chosen track on; the next check brings it back as
    // soon as the disc has moved on to another track.
    const std::string position = QueryMci("status cdaudio position track " + std::to_string(BgmRepeat));
    PlayDevice("cdaudio", position, "");
  }
}

void Music::CdClose() {
  Send("stop cdaudio");
  Send("close cdaudio");
}

void Music::Mp3OpenAndPlay() {
  // The path is quoted so that folders with blanks work; a path with a quote
  // of its own would end that quotation and add words to the command, so such
  // a file is not opened at all.
  if (BgmFile.find('"') != std::string::npos) return;
  const std::string open = "open \"" + BgmFile + "\" type MPEGVideo Alias MP3Play";
  if (port_.SendString(open, nullptr, 0) == 0) port_.SendString("play MP3Play", nullptr, 0);
}

bool Music::IsMp3Playing() {
  std::string mode;
  port_.SendString("status MP3Play mode", &mode, kMp3ModeBuffer);
  return mode.substr(0, 7) == "playing";
}

void Music::Mp3KeepPlaying() {
  if (IsMp3Playing()) return;
  port_.SendString("stop MP3Play", nullptr, 0);
  port_.SendString("play MP3Play from 0", nullptr, 0);
}

void Music::Mp3Close() {
  port_.SendString("stop MP3Play", nullptr, 0);
  port_.SendString("close MP3Play", nullptr, 0);
}

void Music::WavPlay() {
  if (port_.WaveOutDevices() == 0) return;
  // No SND_FILENAME: the text is tried as a sound alias, then as a file name.
  lastApiResult_ = port_.SoundCommand(&BgmFile, kSndAsync | kSndLoop);
}

void Music::WavStop() { lastApiResult_ = port_.SoundCommand(nullptr, 0); }

}  // namespace gelmo
