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

std::vector<std::string> PlayableExtensions(const std::vector<std::string>& registered) {
  std::vector<std::string> named, all;
  for (const char* extension : kMusicExtensions) {
    all.push_back(extension);
    for (std::string entry : registered) {
      if (!entry.empty() && entry[0] == '.') entry.erase(0, 1);
      if (Upper(entry) == Upper(extension)) {
        named.push_back(extension);
        break;
      }
    }
  }
  return named.empty() ? all : named;
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

void Music::WavPlay() {
  if (port_.WaveOutDevices() == 0) return;
  // No SND_FILENAME: the text is tried as a sound alias, then as a file name.
  lastApiResult_ = port_.SoundCommand(&BgmFile, kSndAsync | kSndLoop);
}

void Music::WavStop() { lastApiResult_ = port_.SoundCommand(nullptr, 0); }

int MciSongs::Open(const std::string& path) {
  // The path is quoted so that folders with blanks work; a path with a quote
  // of its own would end that quotation and add words to the command, so such
  // a file is not opened at all.
  if (path.find('"') != std::string::npos) return 0;
  const int song = ++opened_;
  const std::string alias = Alias(song);
  if (port_.SendString("open \"" + path + "\" type MPEGVideo alias " + alias, nullptr, 0) != 0) return 0;
  devices_[song] = port_.DeviceOf(alias);
  return song;
}

bool MciSongs::Start(int song) {
  if (!devices_.count(song) || port_.SendNotify("play " + Alias(song) + " notify") != 0) return false;
  started_ = song;
  return true;
}

void MciSongs::Close(int song) {
  if (devices_.erase(song)) port_.SendString("close " + Alias(song), nullptr, 0);
}

void MciSongs::SetVolume(unsigned level) {
  for (const auto& [song, device] : devices_)
    port_.SendString("setaudio " + Alias(song) + " volume to " + std::to_string(level), nullptr, 0);
}

void MciSongs::CloseAll() {
  while (!devices_.empty()) Close(devices_.begin()->first);
}

int MciSongs::SongOfDevice(std::uint32_t device) const {
  for (const auto& [song, id] : devices_)
    if (id == device && device != 0) return song;
  return devices_.count(started_) ? started_ : 0;
}

}  // namespace gelmo
