// The music module's command sequences against a scripted media device, and
// the playlist against a scripted player.
#include "scr/music/music.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#include "scr/music/playlist.h"

namespace gelmo {
namespace {

struct Reply {
  std::uint32_t code = 0;
  std::string text;
};

class ScriptedPort : public MciPort {
 public:
  std::map<std::string, Reply> replies;  // by command; others succeed with an empty reply
  std::map<std::uint32_t, std::string> errorTexts;
  std::vector<std::string> sent;
  std::vector<unsigned> replySizes;
  unsigned waveDevices = 1;
  std::vector<std::string> sounds;

  std::uint32_t SendNotify(const std::string& command) override { return SendString(command + " (told)", nullptr, 0); }
  std::uint32_t DeviceOf(const std::string& alias) override { return alias == "GelmoSong1" ? 7 : 8; }
  std::uint32_t SendString(const std::string& command, std::string* reply, unsigned replySize) override {
    sent.push_back(command);
    replySizes.push_back(replySize);
    const Reply r = replies.count(command) ? replies[command] : Reply{};
    if (reply) *reply = r.text.substr(0, replySize ? replySize - 1 : 0);
    return r.code;
  }
  bool ErrorString(std::uint32_t code, std::string* text, unsigned) override {
    if (!errorTexts.count(code)) return false;
    *text = errorTexts[code];
    return true;
  }
  std::int32_t SoundCommand(const std::string* sound, std::uint32_t flags) override {
    sounds.push_back(sound ? *sound + " flags " + std::to_string(flags) : "stop flags " + std::to_string(flags));
    return 1;
  }
  unsigned WaveOutDevices() override { return waveDevices; }
};

class MusicTest : public ::testing::Test {
 protected:
  ScriptedPort port;
  std::int32_t lastApiResult = 12345;
  Music music{port, lastApiResult};
  // a CD in the drive, playing track `current`, in `mode`
  void Disc(const std::string& current, const std::string& mode) {
    port.replies["status cdaudio current track"] = {0, current};
    port.replies["status cdaudio number of tracks"] = {0, "12"};
    port.replies["status cdaudio mode"] = {0, mode};
  }
};

TEST_F(MusicTest, CdOpensInTrackTimeFormatAndClosesAfterStopping) {
  music.CdOpen();
  music.CdClose();
  EXPECT_EQ(port.sent, (std::vector<std::string>{"open cdaudio", "set cdaudio time format tmsf", "stop cdaudio",
                                                 "close cdaudio"}));
  EXPECT_EQ(port.replySizes, (std::vector<unsigned>{0, 0, 0, 0}));
}

TEST_F(MusicTest, WholeDiscPlaysFromTheStartOnlyWhenStopped) {
  Disc("1", "stopped");
  music.CdKeepPlaying();
  EXPECT_TRUE(music.CdPlayable);
  EXPECT_EQ(port.sent, (std::vector<std::string>{"status cdaudio current track", "status cdaudio number of tracks",
                                                 "status cdaudio mode", "play cdaudio"}));
  EXPECT_EQ(port.replySizes[2], 255u);  // the mode's own buffer
  EXPECT_EQ(port.replySizes[0], 512u);

  port.sent.clear();
  Disc("5", "playing");
  music.CdKeepPlaying();
  EXPECT_EQ(port.sent.size(), 3u);  // nothing to do
  Disc("5", "paused");
  music.CdKeepPlaying();
  EXPECT_EQ(port.sent.size(), 6u);
}

TEST_F(MusicTest, RepeatedTrackIsResumedFromItsStartWhenTheDiscMovesOn) {
  music.BgmRepeat = 3;
  Disc("4", "playing");
  port.replies["status cdaudio position track 3"] = {0, "03:00:00:00"};
  music.CdKeepPlaying();
  ASSERT_EQ(port.sent.size(), 5u);
  EXPECT_EQ(port.sent[3], "status cdaudio position track 3");
  EXPECT_EQ(port.sent[4], "play cdaudio from 03:00:00:00");

  port.sent.clear();
  Disc("3", "playing");  // on the chosen track: leave it
  music.CdKeepPlaying();
  EXPECT_EQ(port.sent.size(), 3u);

  port.sent.clear();
  Disc("3", "stopped");  // stopped on it: start it again
  music.CdKeepPlaying();
  EXPECT_EQ(port.sent.back(), "play cdaudio from 03:00:00:00");
}

TEST_F(MusicTest, ErrorRepliesMakeTheCdUnplayable) {
  // no drive: the track query fails, with or without an error text
  port.replies["status cdaudio current track"] = {266, ""};
  music.CdKeepPlaying();
  EXPECT_FALSE(music.CdPlayable);
  EXPECT_EQ(port.sent.size(), 1u);
  EXPECT_EQ(music.LastMciReply, "Error (\x95\xB6\x8E\x9A\x97\xF1\x82\xAA\x8E\xE6\x82\xEA\x82\xDC\x82\xB9\x82\xF1)");
  EXPECT_EQ(lastApiResult, 266);

  port.errorTexts[266] = "The device is not ready.";
  music.CdKeepPlaying();
  EXPECT_EQ(music.LastMciReply, "The device is not ready.");

  // the number of tracks fails
  port.sent.clear();
  Disc("1", "stopped");
  port.replies["status cdaudio number of tracks"] = {1, ""};
  music.CdKeepPlaying();
  EXPECT_FALSE(music.CdPlayable);
  EXPECT_EQ(port.sent.size(), 2u);

  // a reply that says "error" in its own words counts too
  Disc("error", "stopped");
  music.CdKeepPlaying();
  EXPECT_FALSE(music.CdPlayable);

  // a track that is not a number, while repeating one track
  music.BgmRepeat = 2;
  Disc("two", "playing");
  music.CdKeepPlaying();
  EXPECT_FALSE(music.CdPlayable);
}

TEST_F(MusicTest, TrackBeyondTheDiscSendsTheErrorAsPosition) {
  music.BgmRepeat = 40;
  Disc("1", "playing");
  port.replies["status cdaudio position track 40"] = {289, ""};
  music.CdKeepPlaying();
  EXPECT_EQ(port.sent.back(), "play cdaudio from Error:289");
  EXPECT_TRUE(music.CdPlayable);  // the check goes on
}

TEST_F(MusicTest, QueriesAndPlayCommands) {
  std::string reply = "old";
  EXPECT_EQ(music.SendMciString("", reply), -1);
  EXPECT_EQ(reply, "\x83R\x83}\x83\x93\x83h\x95\xB6\x8E\x9A\x97\xF1\x82\xAA\x8E" "w\x92\xE8\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1");
  EXPECT_TRUE(port.sent.empty()) << "an empty command never reaches the device";
  EXPECT_EQ(music.QueryMci(""), "Error:-1");
  EXPECT_EQ(lastApiResult, -1);

  port.replies["status x"] = {0, std::string(600, 'r')};
  EXPECT_EQ(music.QueryMci("status x").size(), 511u);  // the 512-byte reply buffer

  music.PlayDevice("cdaudio", "", "");
  music.PlayDevice("cdaudio", "", "5");
  music.PlayDevice("cdaudio", "2", "");
  music.PlayDevice("cdaudio", "2", "5");
  EXPECT_EQ(std::vector<std::string>(port.sent.end() - 4, port.sent.end()),
            (std::vector<std::string>{"play cdaudio", "play cdaudio to 5", "play cdaudio from 2",
                                      "play cdaudio from 2 to 5"}));
}

TEST_F(MusicTest, MciSongsOpenQuotedEachUnderItsOwnAliasAndAskToBeTold) {
  MciSongs songs(port);
  const int first = songs.Open("C:\\My Music\\song.mp3");
  port.replies["open \"C:\\bad.mp3\" type MPEGVideo alias GelmoSong2"] = {275, ""};
  EXPECT_EQ(songs.Open("C:\\bad.mp3"), 0) << "a song that does not open";
  const int third = songs.Open("C:\\My Music\\song.mp3");  // the same again, to follow itself
  // A quote of the path's own would end the quotation and add words.
  EXPECT_EQ(songs.Open("C:\\x.mp3\" type waveaudio alias other wait \"y.mp3"), 0);
  EXPECT_TRUE(songs.Start(first));
  EXPECT_FALSE(songs.Start(2)) << "never opened";
  EXPECT_EQ(songs.SongOfDevice(7), first);
  EXPECT_EQ(songs.SongOfDevice(8), third);
  EXPECT_EQ(songs.SongOfDevice(0), first) << "no device named: the one playing";
  songs.SetVolume(250);
  songs.CloseAll();
  EXPECT_EQ(songs.SongOfDevice(7), 0);
  EXPECT_EQ(songs.SongOfDevice(0), 0);
  EXPECT_EQ(port.sent, (std::vector<std::string>{"open \"C:\\My Music\\song.mp3\" type MPEGVideo alias GelmoSong1",
                                                 "open \"C:\\bad.mp3\" type MPEGVideo alias GelmoSong2",
                                                 "open \"C:\\My Music\\song.mp3\" type MPEGVideo alias GelmoSong3",
                                                 "play GelmoSong1 notify (told)", "setaudio GelmoSong1 volume to 250",
                                                 "setaudio GelmoSong3 volume to 250", "close GelmoSong1", "close GelmoSong3"}));
}

TEST_F(MusicTest, WavLoopsAsynchronouslyOnlyWithAWaveDevice) {
  music.BgmFile = "C:\\tune.wav";
  music.WavPlay();
  music.WavStop();
  EXPECT_EQ(port.sounds, (std::vector<std::string>{"C:\\tune.wav flags 9", "stop flags 0"}));
  EXPECT_EQ(lastApiResult, 1);
  port.waveDevices = 0;
  port.sounds.clear();
  music.WavPlay();
  EXPECT_TRUE(port.sounds.empty());
}

TEST(MusicFiles, ExtensionsAreRecognisedWhateverTheirCase) {
  EXPECT_TRUE(HasMusicExtension("C:\\a\\song.mp3", "MP3"));
  EXPECT_TRUE(HasMusicExtension("TUNE.WAV", "WAV"));
  EXPECT_TRUE(HasMusicExtension("tune.Wav", "WAV"));
  EXPECT_FALSE(HasMusicExtension("tune.wav", "MP3"));
  EXPECT_FALSE(HasMusicExtension("song.ogg", "MP3"));
  EXPECT_FALSE(HasMusicExtension("mp", "MP3"));
  EXPECT_TRUE(HasMusicExtension("mp3", "MP3"));  // only the last three characters count
}

TEST(MusicFiles, PlayersOfferWhatTheyNameOrAllWhenTheyDecideByContent) {
  EXPECT_EQ(PlayableExtensions({".MP3", ".wav", ".avi", ".3gp", "wma"}),
            (std::vector<std::string>{"mp3", "wav", "wma"}));
  EXPECT_EQ(PlayableExtensions({".flac", ".m4a", ".mp3"}), (std::vector<std::string>{"mp3", "m4a", "flac"}));
  EXPECT_EQ(PlayableExtensions({".avi"}).size(), std::size(kMusicExtensions));
  EXPECT_EQ(PlayableExtensions({}).size(), std::size(kMusicExtensions));
}

// ---- the playlist ----------------------------------------------------------------

// A player whose songs open and start unless named "bad..." or "dead...".
class ScriptedSongs : public SongPort {
 public:
  std::map<int, std::string> open;  // by number
  std::vector<std::string> started;
  int opened = 0;
  int Open(const std::string& path) override {
    if (path.rfind("bad", 0) == 0) return 0;
    open[++opened] = path;
    return opened;
  }
  bool Start(int song) override {
    if (!open.count(song) || open[song].rfind("dead", 0) == 0) return false;
    started.push_back(open[song]);
    return true;
  }
  void Close(int song) override { EXPECT_EQ(open.erase(song), 1u) << "closed twice or never opened"; }
};

TEST(Playlist, EachSongOnceARoundWithTheNextOpenedBeforeThePlayingOneEnds) {
  for (std::uint32_t seed = 0; seed < 50; ++seed) {
    ScriptedSongs songs;
    Playlist list(songs, seed);
    for (const char* p : {"a", "b", "c"}) list.Add(p);
    list.Play();
    for (int i = 0; i < 9; ++i) {
      ASSERT_NE(list.following(), 0) << "the next song waits opened";
      EXPECT_EQ(songs.open.size(), 2u);
      list.Ended(list.playing());
    }
    ASSERT_EQ(songs.started.size(), 10u);
    for (int round = 0; round < 3; ++round)
      EXPECT_EQ(std::set<std::string>(songs.started.begin() + 3 * round, songs.started.begin() + 3 * round + 3).size(), 3u)
          << "seed " << seed << " round " << round;
    list.Stop();
    EXPECT_TRUE(songs.open.empty());
    list.Ended(1);  // a late word changes nothing
    EXPECT_EQ(songs.started.size(), 10u);
  }
}

TEST(Playlist, SongsThatWillNotOpenOrPlayArePassedOverAndNeverTriedAgain) {
  ScriptedSongs songs;
  Playlist list(songs, 1);
  for (const char* p : {"bad", "dead", "good", "later"}) list.Add(p);
  list.Play();
  for (int i = 0; i < 6; ++i) {
    if (songs.open.count(list.following()) && songs.open[list.following()] == "later")
      list.Failed(list.following());  // fails while waiting to follow
    list.Ended(list.playing());
  }
  EXPECT_EQ(std::set<std::string>(songs.started.begin(), songs.started.end()), std::set<std::string>{"good"});
  EXPECT_EQ(list.size(), 1u);
  list.Failed(list.playing());  // the last one fails while it plays
  EXPECT_EQ(list.playing(), 0);
  EXPECT_TRUE(songs.open.empty()) << "its second opening, to follow itself, goes too";
}

TEST(Playlist, OneSongFollowsItselfAndAnEmptyFolderPlaysNothing) {
  ScriptedSongs songs;
  Playlist list(songs, 5);
  list.Play();
  EXPECT_EQ(list.playing(), 0);
  list.Add("only");
  list.Play();
  for (int i = 0; i < 3; ++i) {
    EXPECT_NE(list.following(), 0);
    list.Ended(list.playing());
  }
  EXPECT_EQ(songs.started, (std::vector<std::string>(4, "only")));
}

}  // namespace
}  // namespace gelmo
