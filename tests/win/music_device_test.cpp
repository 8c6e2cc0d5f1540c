// The music module with the real media interface and sound player: GStreamer
// behind MCI's MPEGVideo for MP3, PlaySoundA for WAV, ALSA's null or capture
// device for output; there is no CD drive here.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

#include "scr/music/mci_port_win.h"
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

TEST_F(MusicDevice, Mp3PlaysAndStartsAgainAfterItEnds) {
  music.BgmFile = GELMO_TEST_MP3;  // two seconds long
  music.Mp3OpenAndPlay();
  ASSERT_TRUE(PumpUntil(5000, [&] { return music.IsMp3Playing(); })) << "never reached \"playing\"";
  ASSERT_TRUE(PumpUntil(8000, [&] { return !music.IsMp3Playing(); })) << "never ended";
  // What the saver's one-second check does.
  music.Mp3KeepPlaying();
  EXPECT_TRUE(PumpUntil(3000, [&] { return music.IsMp3Playing(); })) << "did not start again";
  music.Mp3Close();
  std::string mode;
  EXPECT_NE(port.SendString("status MP3Play mode", &mode, 30), 0u) << "the alias is still open";
}

TEST_F(MusicDevice, Mp3ThatCannotBeOpenedIsNotPlayed) {
  music.BgmFile = "C:\\no such song.mp3";
  music.Mp3OpenAndPlay();
  EXPECT_FALSE(music.IsMp3Playing());
  music.Mp3KeepPlaying();  // fails quietly, as every second in the saver
  EXPECT_FALSE(music.IsMp3Playing());
}

TEST_F(MusicDevice, WavLoopsThroughTheSoundPlayer) {
  ASSERT_GT(port.WaveOutDevices(), 0u);
  music.BgmFile = GELMO_TEST_WAV;
  music.WavPlay();
  EXPECT_NE(lastApiResult, 0);
  PumpUntil(1500, [] { return false; });
  music.WavStop();
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
