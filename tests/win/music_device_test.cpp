// The music module with the real players: Media Foundation and the media
// control interface's MPEGVideo (both GStreamer under Wine), PlaySound for
// WAV, the audio session for the fade, ALSA's null or capture device for
// output; there is no CD drive here.
#include <windows.h>
#include <mmsystem.h>
#include <audiopolicy.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

#include "scr/music/mci_port_win.h"
#include "scr/music/music_win.h"
#include "tests/win/child_process.h"

namespace gelmo {
namespace {

using testing::PumpUntil;

class MusicDevice : public ::testing::Test {
 protected:
  WinMciPort port;
  std::int32_t lastApiResult = 0;
  Music music{port, lastApiResult};
};

// A window that keeps the messages the players send it.
struct Owner {
  static std::vector<MSG>& Kept() {
    static std::vector<MSG> kept;
    return kept;
  }
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == music::kSongMessage || message == MM_MCINOTIFY) Kept().push_back(MSG{window, message, wParam, lParam, 0, {}});
    return DefWindowProcW(window, message, wParam, lParam);
  }
  Owner() {
    Kept().clear();
    WNDCLASSW c = {};
    c.lpfnWndProc = Proc;
    c.lpszClassName = L"GelmoSongOwner";
    RegisterClassW(&c);
    window = CreateWindowW(L"GelmoSongOwner", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  }
  ~Owner() { DestroyWindow(window); }
  HWND window;
};

TEST_F(MusicDevice, SongsEndWithAWordToTheirWindowOnBothPlayersAndDamagedOnesFail) {
  const std::string damaged = "C:\\gelmo-damaged.mp3";
  std::ofstream("C:/gelmo-damaged.mp3", std::ios::binary) << std::string(4000, '\x5a');
  EXPECT_TRUE(music::OpensAsSong(GELMO_TEST_MP3));
  EXPECT_FALSE(music::OpensAsSong(damaged));
  EXPECT_FALSE(music::OpensAsSong("C:\\no such song.mp3"));
  const std::vector<std::string> offered = music::MusicFileExtensions();
  for (const char* extension : {"mp3", "wav"})
    EXPECT_NE(std::find(offered.begin(), offered.end(), extension), offered.end()) << extension;

  {  // the player of this system: Media Foundation where it can be created
    Owner owner;
    std::unique_ptr<music::SongPlayer> player = music::MakeSongPlayer(owner.window);
    const int song = player->Open(GELMO_TEST_MP3);  // two seconds long
    ASSERT_NE(song, 0);
    ASSERT_TRUE(player->Start(song));
    int told = 0;
    bool ended = false;
    ASSERT_TRUE(PumpUntil(8000, [&] {
      for (const MSG& m : Owner::Kept())
        if (player->SongOfNotice(m.message, m.wParam, m.lParam, &told, &ended)) return true;
      return false;
    })) << "no word of the song's end";
    EXPECT_EQ(told, song);
    EXPECT_TRUE(ended);
    Owner::Kept().clear();
    const int bad = player->Open(damaged);
    const bool refused = bad == 0 || !player->Start(bad) || PumpUntil(5000, [&] {
      for (const MSG& m : Owner::Kept())
        if (player->SongOfNotice(m.message, m.wParam, m.lParam, &told, &ended)) return told == bad && !ended;
      return false;
    });
    EXPECT_TRUE(refused) << "the damaged file was taken as a song";
    player->Close(song);
    player->Close(bad);
  }
  {  // the media control interface, where Media Foundation is missing
    Owner owner;
    WinMciPort told(owner.window);
    MciSongs songs(told);
    const int song = songs.Open(GELMO_TEST_MP3);
    ASSERT_NE(song, 0);
    EXPECT_EQ(songs.Open(damaged), 0);
    ASSERT_TRUE(songs.Start(song));
    ASSERT_TRUE(PumpUntil(8000, [&] {
      return std::any_of(Owner::Kept().begin(), Owner::Kept().end(), [&](const MSG& m) {
        return m.message == MM_MCINOTIFY && m.wParam == MCI_NOTIFY_SUCCESSFUL &&
               songs.SongOfDevice(std::uint32_t(m.lParam)) == song;
      });
    })) << "no MM_MCINOTIFY for the song's end";
    songs.CloseAll();
  }
  DeleteFileA(damaged.c_str());
}

// The program's audio session volume, read as the fade sets it.
float SessionVolume() {
  float level = -1;
  if (ISimpleAudioVolume* volume = music::ProgramSessionVolume()) {
    volume->GetMasterVolume(&level);
    volume->Release();
  }
  return level;
}

TEST_F(MusicDevice, WavLoopsThroughTheSoundPlayerAndFadesOutThroughTheSession) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ASSERT_GT(port.WaveOutDevices(), 0u);
  music.BgmFile = GELMO_TEST_WAV;
  music.WavPlay();
  EXPECT_NE(lastApiResult, 0);
  PumpUntil(500, [] { return false; });
  const float before = SessionVolume();
  ASSERT_GT(before, 0.0f) << "no audio session";
  const DWORD start = GetTickCount();
  float atStop = -1;
  music::FadeOut(500, [&] {
    atStop = SessionVolume();
    music.WavStop();
  });
  EXPECT_GE(GetTickCount() - start, 450u) << "about half a second";
  EXPECT_LE(GetTickCount() - start, 1500u);
  if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) {
    // Wine 8 makes a new session for every query of the default one, and its
    // mixers apply no session volume: the fade is Windows' to hear.
    std::printf("skipped: the session volume's fade and restore (Wine keeps no default audio session)\n");
  } else {
    EXPECT_EQ(atStop, 0.0f) << "silent when it stops";
    EXPECT_EQ(SessionVolume(), before) << "the user's volume is given back";
  }
  EXPECT_NE(lastApiResult, 0);
}

TEST_F(MusicDevice, NoCdDriveMakesTheCdUnplayable) {
  music.CdOpen();
  EXPECT_NE(lastApiResult, 0);  // "open cdaudio" fails without a drive
  music.CdKeepPlaying();
  EXPECT_FALSE(music.CdPlayable);
  EXPECT_EQ(music.QueryMci("status cdaudio mode").rfind("Error:", 0), 0u);
}

}  // namespace
}  // namespace gelmo
