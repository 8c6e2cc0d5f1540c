// Which player plays which songs on Windows:
// - Media Foundation (Windows 7 on) decodes MP3, WMA, WAV, AAC (.m4a, .aac)
//   and, from Windows 10, FLAC: its source reader (mfreadwrite.dll) turns
//   each song into samples, which go out one after another through one
//   stream of the platform's wave output, so that a song follows the one
//   before without a gap and the music can fade.  Its source resolver knows
//   the formats by the extensions registered under
//   HKLM\SOFTWARE\Microsoft\Windows Media Foundation\ByteStreamHandlers, and
//   the extensions offered come from there.  It is used wherever it can be
//   created; it is loaded at run time, so the program still starts on a
//   system without it.
// - Otherwise the media control interface's MPEGVideo device (DirectShow)
//   plays MP3, WAV and WMA, as the "MCI Extensions" key names them.
// Wine's players both decode through GStreamer and play more than Windows'
// own: what a player offers is read from the system, never assumed.
#include "scr/music/music_win.h"

#include <mmsystem.h>
#include <mfapi.h>
#include <mfidl.h>
#include <mfreadwrite.h>
#include <mmdeviceapi.h>
#include <audiopolicy.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <map>
#include <thread>

#include "scr/forms/text_win.h"
#include "scr/music/mci_port_win.h"
#include "scr/pictures/pictures_win.h"
#include "scr/settings/settings.h"

namespace gelmo::music {
namespace {

// Media Foundation's entry points, when this system has them.
struct MediaFoundation {
  decltype(&MFStartup) startup = nullptr;
  decltype(&MFShutdown) shutdown = nullptr;
  decltype(&MFCreateMediaType) createMediaType = nullptr;
  decltype(&MFCreateSourceReaderFromURL) createReader = nullptr;
};

// A function of a library loaded at run time, as its own type.
template <typename Function>
Function Entry(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

// Loaded and started once for the program; null where it cannot be.
const MediaFoundation* Mf() {
  static const MediaFoundation* loaded = [] () -> const MediaFoundation* {
    HMODULE plat = LoadLibraryW(L"mfplat.dll");
    HMODULE readwrite = LoadLibraryW(L"mfreadwrite.dll");
    if (!plat || !readwrite) return nullptr;
    static MediaFoundation mf;
    mf.startup = Entry<decltype(&MFStartup)>(plat, "MFStartup");
    mf.shutdown = Entry<decltype(&MFShutdown)>(plat, "MFShutdown");
    mf.createMediaType = Entry<decltype(&MFCreateMediaType)>(plat, "MFCreateMediaType");
    mf.createReader = Entry<decltype(&MFCreateSourceReaderFromURL)>(readwrite, "MFCreateSourceReaderFromURL");
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (!mf.startup || !mf.shutdown || !mf.createMediaType || !mf.createReader ||
        FAILED(mf.startup(MF_VERSION, MFSTARTUP_LITE)))
      return nullptr;
    return &mf;
  }();
  return loaded;
}

// The names under a registry key: its subkeys, or its values (those whose
// text is one of `data`).
std::vector<std::string> RegistryNames(const wchar_t* key, bool values,
                                       std::initializer_list<const wchar_t*> data = {}) {
  std::vector<std::string> names;
  HKEY handle;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return names;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD length = 256;
    wchar_t text[64] = {};
    DWORD textBytes = sizeof text - sizeof(wchar_t), type = 0;
    const LONG result = values ? RegEnumValueW(handle, i, name, &length, nullptr, &type, reinterpret_cast<BYTE*>(text), &textBytes)
                               : RegEnumKeyExW(handle, i, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result != ERROR_SUCCESS) continue;
    if (values && (type != REG_SZ || std::none_of(data.begin(), data.end(), [&](const wchar_t* wanted) {
                     return lstrcmpiW(text, wanted) == 0;
                   })))
      continue;
    names.push_back(forms::Narrow(name));
  }
  RegCloseKey(handle);
  return names;
}

// A song opened with Media Foundation's source reader, its sound decoded to
// 16-bit samples, or to floating point where the decoder gives no 16-bit
// ones.
struct Song {
  int id = 0;
  IMFSourceReader* reader = nullptr;
  WAVEFORMATEX format = {};      // of its samples, for the wave output
  std::deque<IMFSample*> ahead;  // read when it was opened
  DWORD aheadFlags = 0;          // the reader's flags after the last of them
  void Release() {
    for (IMFSample* sample : ahead) sample->Release();
    if (reader) reader->Release();
    *this = {};
  }
};

// Opens the song and decodes its first second: a file that cannot be decoded
// is known at once, and as the song starts, its output has a second in hand
// while the next one is being opened.  False when it cannot be played.
bool OpenSong(const std::string& path, Song* song) {
  *song = {};
  if (FAILED(Mf()->createReader(forms::Wide(path).c_str(), nullptr, &song->reader))) return false;
  IMFSourceReader* reader = song->reader;
  constexpr DWORD kSound = DWORD(MF_SOURCE_READER_FIRST_AUDIO_STREAM);
  reader->SetStreamSelection(DWORD(MF_SOURCE_READER_ALL_STREAMS), FALSE);
  reader->SetStreamSelection(kSound, TRUE);
  bool decoded = false;
  for (const GUID& subtype : {MFAudioFormat_PCM, MFAudioFormat_Float}) {
    IMFMediaType* type = nullptr;
    if (FAILED(Mf()->createMediaType(&type))) break;
    type->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Audio);
    type->SetGUID(MF_MT_SUBTYPE, subtype);
    if (subtype == MFAudioFormat_PCM) type->SetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, 16);
    decoded = SUCCEEDED(reader->SetCurrentMediaType(kSound, nullptr, type));
    type->Release();
    if (decoded) break;
  }
  IMFMediaType* type = nullptr;
  if (decoded && SUCCEEDED(reader->GetCurrentMediaType(kSound, &type))) {
    WAVEFORMATEX& f = song->format;
    GUID subtype = {};
    type->GetGUID(MF_MT_SUBTYPE, &subtype);
    f.wFormatTag = subtype == MFAudioFormat_Float ? WAVE_FORMAT_IEEE_FLOAT : WAVE_FORMAT_PCM;
    f.nChannels = WORD(MFGetAttributeUINT32(type, MF_MT_AUDIO_NUM_CHANNELS, 0));
    f.nSamplesPerSec = MFGetAttributeUINT32(type, MF_MT_AUDIO_SAMPLES_PER_SECOND, 0);
    f.wBitsPerSample = WORD(MFGetAttributeUINT32(type, MF_MT_AUDIO_BITS_PER_SAMPLE, 0));
    f.nBlockAlign = WORD(f.nChannels * f.wBitsPerSample / 8);
    f.nAvgBytesPerSec = f.nSamplesPerSec * f.nBlockAlign;
    type->Release();
  }
  decoded = decoded && song->format.nBlockAlign &&
            (song->format.wFormatTag == WAVE_FORMAT_PCM) == (song->format.wBitsPerSample == 16);
  LONGLONG read = 0;  // 100 ns units
  for (int reads = 0; decoded && read < 10'000'000 && reads < 1000 && !(song->aheadFlags & MF_SOURCE_READERF_ENDOFSTREAM);
       ++reads) {
    IMFSample* sample = nullptr;
    decoded = SUCCEEDED(reader->ReadSample(kSound, 0, nullptr, &song->aheadFlags, nullptr, &sample)) &&
              !(song->aheadFlags & MF_SOURCE_READERF_ERROR);
    if (!sample) continue;
    LONGLONG duration = 0;
    sample->GetSampleDuration(&duration);
    read += std::max<LONGLONG>(duration, 1);
    song->ahead.push_back(sample);
  }
  if (!decoded) song->Release();
  return decoded;
}

// Songs decoded by Media Foundation's source reader on a thread of their
// own and written, one after another, into one wave-out stream.  When a song
// has been read to its end (the reader's end of stream), the owner is told
// and starts the next, while the last half second of the song is still
// being heard: the next one's samples follow in the same stream.  A song of
// another sample format reopens the stream.
class ReaderSongPlayer final : public SongPlayer {
 public:
  explicit ReaderSongPlayer(HWND owner) : shared_(std::make_shared<Shared>()) {
    Mf()->startup(MF_VERSION, MFSTARTUP_LITE);  // held while the player lives
    shared_->wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    thread_ = std::thread([shared = shared_, owner] { Output(*shared, owner); });
  }
  ~ReaderSongPlayer() override {
    {
      std::lock_guard<std::mutex> hold(shared_->lock);
      shared_->quit = true;
    }
    SetEvent(shared_->wake);
    thread_.join();
    for (auto& [id, song] : opened_) song.Release();
    CloseHandle(shared_->wake);
    Mf()->shutdown();
  }

  int Open(const std::string& path) override {
    Song song;
    if (!OpenSong(path, &song)) return 0;
    song.id = ++count_;
    opened_[song.id] = song;
    return song.id;
  }
  bool Start(int id) override {
    auto found = opened_.find(id);
    if (found == opened_.end()) return false;
    {
      std::lock_guard<std::mutex> hold(shared_->lock);
      shared_->queue.push_back(found->second);
    }
    opened_.erase(found);
    SetEvent(shared_->wake);
    return true;
  }
  void Close(int id) override {
    if (auto found = opened_.find(id); found != opened_.end()) {
      found->second.Release();
      opened_.erase(found);
      return;
    }
    if (id <= 0 || id > count_) return;
    std::lock_guard<std::mutex> hold(shared_->lock);
    shared_->closing.push_back(id);
    SetEvent(shared_->wake);
  }
  bool SongOfNotice(UINT message, WPARAM wParam, LPARAM lParam, int* song, bool* ended) override {
    if (message != kSongMessage) return false;
    *song = int(wParam);
    *ended = lParam == kSongEnded;
    return true;
  }
  void FadeOut(unsigned ms) override {
    {
      std::lock_guard<std::mutex> hold(shared_->lock);
      shared_->fadeMs = std::max(1u, ms);
    }
    SetEvent(shared_->wake);
    // Until the fade has reached silence, or a while past its end.
    const ULONGLONG until = GetTickCount64() + ms + 1000;
    while (!shared_->silent.load() && GetTickCount64() < until) Sleep(10);
  }

 private:
  struct Shared {
    std::mutex lock;
    std::deque<Song> queue;    // started, to be played in turn
    std::vector<int> closing;  // started songs to be dropped
    unsigned fadeMs = 0;       // a fade asked for
    bool quit = false;
    HANDLE wake = nullptr;     // commands, and the wave output's finished buffers
    std::atomic<bool> silent{false};
  };
  static void Output(Shared& shared, HWND owner);

  std::shared_ptr<Shared> shared_;
  std::thread thread_;
  std::map<int, Song> opened_;  // opened, not yet started
  int count_ = 0;
};

void ReaderSongPlayer::Output(Shared& shared, HWND owner) {
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  // The music is wanted now, the pictures in a moment.
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
  // At most this much is queued ahead of what is heard: the owner has that
  // long to start the next song.
  constexpr unsigned kAheadMs = 500;
  HWAVEOUT out = nullptr;
  WAVEFORMATEX format = {};
  std::vector<WAVEHDR> headers(64);
  std::vector<std::vector<char>> buffers(headers.size());
  Song song;
  ULONGLONG fadeFrom = 0;  // GetTickCount64 when a fade began
  const auto tell = [owner](int id, SongNotice notice) { PostMessageW(owner, kSongMessage, WPARAM(id), notice); };
  const auto queuedBytes = [&] {
    DWORD bytes = 0;
    for (const WAVEHDR& h : headers)
      if (h.dwFlags & WHDR_PREPARED && !(h.dwFlags & WHDR_DONE)) bytes += h.dwBufferLength;
    return bytes;
  };
  const auto closeOutput = [&] {
    if (!out) return;
    waveOutReset(out);
    for (WAVEHDR& h : headers)
      if (h.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(out, &h, sizeof h);
    waveOutClose(out);
    out = nullptr;
  };
  const auto drop = [&](SongNotice notice) {
    if (notice) tell(song.id, notice);
    song.Release();
  };
  for (;;) {
    bool quit = false;
    unsigned fadeMs = 0;
    {
      std::lock_guard<std::mutex> hold(shared.lock);
      quit = shared.quit;
      fadeMs = shared.fadeMs;
      for (int id : shared.closing) {
        if (song.reader && song.id == id) drop(SongNotice(0));
        for (auto it = shared.queue.begin(); it != shared.queue.end();)
          if (it->id == id) {
            it->Release();
            it = shared.queue.erase(it);
          } else {
            ++it;
          }
      }
      shared.closing.clear();
      if (!song.reader && !shared.queue.empty()) {
        song = shared.queue.front();
        shared.queue.pop_front();
      }
    }
    if (quit) break;
    // A fade lowers the stream's own volume, so that what is already queued
    // fades with the rest, even the end of a song with none after it.  It is
    // silent at the fade's end, or once all that was queued has been heard.
    if (fadeMs) {
      const ULONGLONG now = GetTickCount64();
      if (!fadeFrom) fadeFrom = now;
      const double level = 1.0 - double(now - fadeFrom) / fadeMs;
      const DWORD volume = level > 0.0 ? DWORD(0xFFFF * level) : 0;
      if (out) waveOutSetVolume(out, volume | volume << 16);
      if (!volume || !out || (!song.reader && queuedBytes() == 0)) shared.silent = true;
    }
    if (shared.silent.load() || !song.reader ||
        (out && queuedBytes() >= format.nAvgBytesPerSec * kAheadMs / 1000)) {
      WaitForSingleObject(shared.wake, 20);
      continue;
    }
    // A song of another sample format than the stream's reopens it, once
    // what is queued has been heard.
    const WAVEFORMATEX& wanted = song.format;
    if (!out || memcmp(&wanted, &format, sizeof format) != 0) {
      if (out && queuedBytes() > 0) {
        WaitForSingleObject(shared.wake, 20);
        continue;
      }
      closeOutput();
      format = wanted;
      if (waveOutOpen(&out, WAVE_MAPPER, &format, DWORD_PTR(shared.wake), 0, CALLBACK_EVENT) != MMSYSERR_NOERROR) {
        out = nullptr;
        format = {};
        drop(kSongFailed);
        continue;
      }
    }
    DWORD flags = 0;
    IMFSample* sample = nullptr;
    const bool readAhead = !song.ahead.empty() || song.aheadFlags;
    if (!song.ahead.empty()) {
      sample = song.ahead.front();
      song.ahead.pop_front();
    }
    if (song.ahead.empty()) std::swap(flags, song.aheadFlags);
    if ((!readAhead &&
         FAILED(song.reader->ReadSample(DWORD(MF_SOURCE_READER_FIRST_AUDIO_STREAM), 0, nullptr, &flags, nullptr,
                                        &sample))) ||
        (flags & MF_SOURCE_READERF_ERROR)) {
      if (sample) sample->Release();
      drop(kSongFailed);
      continue;
    }
    IMFMediaBuffer* buffer = nullptr;
    if (sample && SUCCEEDED(sample->ConvertToContiguousBuffer(&buffer))) {
      BYTE* bytes = nullptr;
      DWORD length = 0;
      auto free = std::find_if(headers.begin(), headers.end(),
                               [](const WAVEHDR& h) { return !(h.dwFlags & WHDR_PREPARED) || (h.dwFlags & WHDR_DONE); });
      if (free != headers.end() && SUCCEEDED(buffer->Lock(&bytes, nullptr, &length)) && length > 0) {
        std::vector<char>& data = buffers[std::size_t(free - headers.begin())];
        data.assign(bytes, bytes + length);
        buffer->Unlock();
        if (free->dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(out, &*free, sizeof *free);
        *free = {};
        free->lpData = data.data();
        free->dwBufferLength = length;
        if (waveOutPrepareHeader(out, &*free, sizeof *free) == MMSYSERR_NOERROR) waveOutWrite(out, &*free, sizeof *free);
      }
      buffer->Release();
    }
    if (sample) sample->Release();
    if (flags & MF_SOURCE_READERF_ENDOFSTREAM) drop(kSongEnded);
  }
  song.Release();
  for (Song& queued : shared.queue) queued.Release();
  shared.queue.clear();
  closeOutput();
  CoUninitialize();
}

// Songs on the media control interface, where Media Foundation is missing.
class MciSongPlayer final : public SongPlayer {
 public:
  explicit MciSongPlayer(HWND owner) : port_(owner), songs_(port_) {}
  ~MciSongPlayer() override { songs_.CloseAll(); }

  int Open(const std::string& path) override { return songs_.Open(path); }
  bool Start(int song) override { return songs_.Start(song); }
  void Close(int song) override { songs_.Close(song); }
  bool SongOfNotice(UINT message, WPARAM wParam, LPARAM lParam, int* song, bool* ended) override {
    if (message != MM_MCINOTIFY || (wParam != MCI_NOTIFY_SUCCESSFUL && wParam != MCI_NOTIFY_FAILURE)) return false;
    *song = songs_.SongOfDevice(std::uint32_t(lParam));
    *ended = wParam == MCI_NOTIFY_SUCCESSFUL;
    return *song != 0;
  }
  void FadeOut(unsigned ms) override {
    const ULONGLONG start = GetTickCount64();
    for (ULONGLONG now = start; now - start < ms; now = GetTickCount64()) {
      songs_.SetVolume(unsigned(1000 * (ms - (now - start)) / ms));
      Sleep(25);
    }
    songs_.SetVolume(0);
  }

 private:
  WinMciPort port_;
  MciSongs songs_;
};

}  // namespace

std::vector<std::string> MusicFileExtensions() {
  if (Mf()) return PlayableExtensions(RegistryNames(L"SOFTWARE\\Microsoft\\Windows Media Foundation\\ByteStreamHandlers", false));
  return PlayableExtensions(RegistryNames(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\MCI Extensions", true,
                                         {L"MPEGVideo", L"WaveAudio"}));
}

bool OpensAsSong(const std::string& path) {
  if (Mf()) {
    Song song;
    const bool opens = OpenSong(path, &song);
    song.Release();
    return opens;
  }
  WinMciPort port;
  MciSongs songs(port);
  const int song = songs.Open(path);
  songs.Close(song);
  return song != 0;
}

bool FolderHasSong(const std::string& folder) {
  bool found = false;
  if (!folder.empty())
    pictures::ListFiles(folder, MusicFileExtensions(), kMostSongs, [&](const std::string& path) {
      found = OpensAsSong(path);
      return !found;
    });
  return found;
}

std::unique_ptr<SongPlayer> MakeSongPlayer(HWND owner) {
  if (Mf()) return std::make_unique<ReaderSongPlayer>(owner);
  return std::make_unique<MciSongPlayer>(owner);
}

SongListing::SongListing(const std::string& folder) : shared_(std::make_shared<Shared>()) {
  std::thread([shared = shared_, folder, extensions = MusicFileExtensions()] {
    pictures::ListFiles(folder, extensions, kMostSongs, [&](const std::string& path) {
      std::lock_guard<std::mutex> hold(shared->lock);
      shared->found.push_back(path);
      return !shared->stop.load();
    });
    shared->done = true;
  }).detach();
}

SongListing::~SongListing() { shared_->stop = true; }

std::vector<std::string> SongListing::Take() {
  std::vector<std::string> found;
  std::lock_guard<std::mutex> hold(shared_->lock);
  found.swap(shared_->found);
  return found;
}

ISimpleAudioVolume* ProgramSessionVolume() {
  // The program's own session on the default output: the one its players
  // join unless they ask for another.
  ISimpleAudioVolume* volume = nullptr;
  IMMDeviceEnumerator* devices = nullptr;
  if (SUCCEEDED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                 __uuidof(IMMDeviceEnumerator), reinterpret_cast<void**>(&devices)))) {
    IMMDevice* device = nullptr;
    IAudioSessionManager* sessions = nullptr;
    if (SUCCEEDED(devices->GetDefaultAudioEndpoint(eRender, eConsole, &device)) &&
        SUCCEEDED(device->Activate(__uuidof(IAudioSessionManager), CLSCTX_INPROC_SERVER, nullptr,
                                   reinterpret_cast<void**>(&sessions)))) {
      if (FAILED(sessions->GetSimpleAudioVolume(nullptr, FALSE, &volume))) volume = nullptr;
      sessions->Release();
    }
    if (device) device->Release();
    devices->Release();
  }
  return volume;
}

void FadeOut(unsigned ms, const std::function<void()>& stop) {
  ISimpleAudioVolume* volume = ProgramSessionVolume();
  float level = 1.0f;
  if (volume && SUCCEEDED(volume->GetMasterVolume(&level))) {
    const ULONGLONG start = GetTickCount64();
    for (ULONGLONG now = start; now - start < ms; now = GetTickCount64()) {
      volume->SetMasterVolume(level * (1.0f - float(now - start) / float(ms)), nullptr);
      Sleep(15);
    }
    volume->SetMasterVolume(0.0f, nullptr);
  }
  stop();
  if (volume) {
    volume->SetMasterVolume(level, nullptr);
    volume->Release();
  }
}

}  // namespace gelmo::music
