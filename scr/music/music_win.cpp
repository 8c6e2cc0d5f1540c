// Which player plays which songs on Windows:
// - Media Foundation (mfplat.dll with MFPlay, mfplay.dll: Windows 7 on) plays
//   MP3, WMA, WAV, AAC (.m4a, .aac) and, from Windows 10, FLAC; its source
//   resolver knows them by the extensions registered under
//   HKLM\SOFTWARE\Microsoft\Windows Media Foundation\ByteStreamHandlers, and
//   the extensions it offers come from there.  It is used wherever it can be
//   created.  It is loaded at run time, so the program still starts on a
//   system without it.
// - Otherwise the media control interface's MPEGVideo device (DirectShow)
//   plays MP3, WAV and WMA, as the "MCI Extensions" key names them.
// Wine's players both decode through GStreamer and play more than Windows'
// own: what a player offers is read from the system, never assumed.
#include "scr/music/music_win.h"

#include <mmsystem.h>
#include <mfapi.h>
#include <mfidl.h>
#include <mfplay.h>
#include <mmdeviceapi.h>
#include <audiopolicy.h>

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
  decltype(&MFCreateSourceResolver) createResolver = nullptr;
  decltype(&MFPCreateMediaPlayer) createPlayer = nullptr;
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
    HMODULE play = LoadLibraryW(L"mfplay.dll");
    if (!plat || !play) return nullptr;
    const auto startup = Entry<decltype(&MFStartup)>(plat, "MFStartup");
    static MediaFoundation mf;
    mf.createResolver = Entry<decltype(&MFCreateSourceResolver)>(plat, "MFCreateSourceResolver");
    mf.createPlayer = Entry<decltype(&MFPCreateMediaPlayer)>(play, "MFPCreateMediaPlayer");
    // The player calls back through this thread's messages: it needs COM here.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (!startup || !mf.createResolver || !mf.createPlayer || FAILED(startup(MF_VERSION, MFSTARTUP_FULL)))
      return nullptr;
    return &mf;
  }();
  return loaded;
}

// The names under a registry key: its subkeys, or its values.
std::vector<std::string> RegistryNames(const wchar_t* key, bool values, const wchar_t* onlyData = nullptr) {
  std::vector<std::string> names;
  HKEY handle;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return names;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD length = 256;
    wchar_t data[64] = {};
    DWORD dataBytes = sizeof data - sizeof(wchar_t), type = 0;
    const LONG result = values ? RegEnumValueW(handle, i, name, &length, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataBytes)
                               : RegEnumKeyExW(handle, i, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result != ERROR_SUCCESS) continue;
    if (onlyData && (type != REG_SZ || lstrcmpiW(data, onlyData) != 0)) continue;
    names.push_back(forms::Narrow(name));
  }
  RegCloseKey(handle);
  return names;
}

// Songs on Media Foundation's simple player: one player object per song,
// opened paused, so that the next one is ready to start the moment the one
// before ends.  Its word comes on this thread, through MFPlay's own window,
// and goes on to the owner as kSongMessage.
class MfSongPlayer final : public SongPlayer {
 public:
  explicit MfSongPlayer(HWND owner) : owner_(owner) {}
  ~MfSongPlayer() override {
    for (auto& [id, song] : songs_) song->Finish();
  }

  int Open(const std::string& path) override {
    auto* song = new Song(owner_, ++opened_);
    if (FAILED(Mf()->createPlayer(forms::Wide(path).c_str(), FALSE, 0, song, nullptr, &song->player))) {
      song->Finish();
      return 0;
    }
    songs_[song->id] = song;
    return song->id;
  }
  bool Start(int id) override {
    if (!songs_.count(id)) return false;
    Song* song = songs_[id];
    // The player opens its file on its own time; a song not yet open starts
    // the moment it is.
    if (!song->ready) {
      song->startWhenReady = true;
      return true;
    }
    return SUCCEEDED(song->player->Play());
  }
  void Close(int id) override {
    if (!songs_.count(id)) return;
    songs_[id]->Finish();
    songs_.erase(id);
  }
  bool SongOfNotice(UINT message, WPARAM wParam, LPARAM lParam, int* song, bool* ended) override {
    if (message != kSongMessage) return false;
    *song = int(wParam);
    *ended = lParam == kSongEnded;
    return true;
  }

 private:
  struct Song final : IMFPMediaPlayerCallback {
    Song(HWND owner, int id) : owner(owner), id(id) {}
    HWND owner;
    int id;
    IMFPMediaPlayer* player = nullptr;
    LONG refs = 1;
    bool ready = false;           // the file is open: it can start at once
    bool startWhenReady = false;  // asked to start before that

    // Stops the player and lets go of it; the object goes with its last reference.
    void Finish() {
      if (player) {
        player->Shutdown();
        player->Release();
        player = nullptr;
      }
      Release();
    }
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
      if (iid == IID_IUnknown || iid == __uuidof(IMFPMediaPlayerCallback)) {
        *object = static_cast<IMFPMediaPlayerCallback*>(this);
        AddRef();
        return S_OK;
      }
      *object = nullptr;
      return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs); }
    STDMETHODIMP_(ULONG) Release() override {
      const LONG left = InterlockedDecrement(&refs);
      if (left == 0) delete this;
      return left;
    }
    void STDMETHODCALLTYPE OnMediaPlayerEvent(MFP_EVENT_HEADER* event) override {
      if (event->eEventType == MFP_EVENT_TYPE_MEDIAITEM_SET && SUCCEEDED(event->hrEvent)) {
        ready = true;
        if (startWhenReady && player && FAILED(player->Play())) PostMessageW(owner, kSongMessage, WPARAM(id), kSongFailed);
        return;
      }
      // The owner acts on it from its own message, never inside the player's call.
      if (event->eEventType == MFP_EVENT_TYPE_PLAYBACK_ENDED)
        PostMessageW(owner, kSongMessage, WPARAM(id), kSongEnded);
      else if (event->eEventType == MFP_EVENT_TYPE_ERROR || FAILED(event->hrEvent))
        PostMessageW(owner, kSongMessage, WPARAM(id), kSongFailed);
    }
  };

  HWND owner_;
  int opened_ = 0;
  std::map<int, Song*> songs_;
};

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

 private:
  WinMciPort port_;
  MciSongs songs_;
};

}  // namespace

std::vector<std::string> MusicFileExtensions() {
  if (Mf()) return PlayableExtensions(RegistryNames(L"SOFTWARE\\Microsoft\\Windows Media Foundation\\ByteStreamHandlers", false));
  std::vector<std::string> named = RegistryNames(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\MCI Extensions", true, L"MPEGVideo");
  for (std::string& wave : RegistryNames(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\MCI Extensions", true, L"WaveAudio"))
    named.push_back(std::move(wave));
  return PlayableExtensions(named);
}

bool OpensAsSong(const std::string& path) {
  if (const MediaFoundation* mf = Mf()) {
    IMFSourceResolver* resolver = nullptr;
    if (FAILED(mf->createResolver(&resolver))) return false;
    MF_OBJECT_TYPE type = MF_OBJECT_INVALID;
    IUnknown* object = nullptr;
    const bool opens = SUCCEEDED(resolver->CreateObjectFromURL(forms::Wide(path).c_str(),
                                                               MF_RESOLUTION_MEDIASOURCE | MF_RESOLUTION_READ, nullptr,
                                                               &type, &object));
    if (object) {
      IMFMediaSource* source = nullptr;
      if (SUCCEEDED(object->QueryInterface(IID_PPV_ARGS(&source)))) {
        source->Shutdown();
        source->Release();
      }
      object->Release();
    }
    resolver->Release();
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
  if (Mf()) return std::make_unique<MfSongPlayer>(owner);
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

void FadeOut(unsigned ms, const std::function<void()>& stop) {
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
