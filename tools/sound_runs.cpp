// Reads what a sound capture heard (16-bit little-endian stereo samples at
// RATE per second) and prints its sounds and the silences between them, so
// that the end-to-end scripts can tell which song played when and how long
// the quiet between two songs was:
//   sound_runs FILE RATE   ->   one line per run, in order:
//   sound START_MS END_MS HZ     (HZ from the left channel's zero crossings)
//   silence START_MS END_MS      (only between two sounds)
// A block of 2 ms is sound when a sample in it reaches 1/32 of full scale.
// A tone that follows another without any silence starts a run of its own
// (with a silence of 0 ms before it) where the pitch of 20 ms differs by more
// than a sixth from the pitch the run began with.
#include <cstdint>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s FILE RATE\n", argv[0]);
    return 2;
  }
  std::FILE* file = std::fopen(argv[1], "rb");
  const long rate = std::strtol(argv[2], nullptr, 10);
  if (!file || rate <= 0) {
    std::fprintf(stderr, "sound_runs: cannot read %s\n", argv[1]);
    return 2;
  }
  const long block = rate / 500;  // 2 ms of frames
  struct Run {
    bool sound;
    long from, to;  // blocks
    long crossings = 0;
  };
  std::vector<Run> runs;
  std::vector<std::int16_t> frames(std::size_t(block) * 2);
  long index = 0;
  std::int16_t previous = 0;
  constexpr long kPitchBlocks = 10;  // 20 ms
  long windowCrossings = 0, firstWindow = 0;
  while (std::fread(frames.data(), sizeof(std::int16_t), frames.size(), file) == frames.size()) {
    int loudest = 0;
    long crossings = 0;
    for (long i = 0; i < block; ++i) {
      const std::int16_t left = frames[std::size_t(i) * 2];
      for (int channel = 0; channel < 2; ++channel) loudest = std::max(loudest, std::abs(int(frames[std::size_t(i) * 2 + channel])));
      if ((previous < 0) != (left < 0)) ++crossings;
      previous = left;
    }
    const bool sound = loudest >= 1024;
    if (runs.empty() || runs.back().sound != sound) {
      runs.push_back({sound, index, index});
      windowCrossings = firstWindow = 0;
    }
    runs.back().to = index + 1;
    runs.back().crossings += crossings;
    windowCrossings += crossings;
    ++index;
    if (sound && (index - runs.back().from) % kPitchBlocks == 0) {
      if (firstWindow == 0) {
        firstWindow = windowCrossings;
      } else if (std::abs(windowCrossings - firstWindow) * 6 > firstWindow && index - runs.back().from > kPitchBlocks) {
        // Another tone began in this window: it starts a run of its own.
        const long boundary = index - kPitchBlocks;
        runs.back().to = boundary;
        runs.back().crossings -= windowCrossings;
        runs.push_back({false, boundary, boundary});
        runs.push_back({true, boundary, index, windowCrossings});
        firstWindow = windowCrossings;
      }
      windowCrossings = 0;
    }
  }
  std::fclose(file);
  const auto ms = [&](long blocks) { return blocks * 2; };
  for (std::size_t i = 0; i < runs.size(); ++i) {
    const Run& r = runs[i];
    if (r.sound) {
      const double seconds = double(r.to - r.from) * block / rate;
      std::printf("sound %ld %ld %ld\n", ms(r.from), ms(r.to), long(r.crossings / 2 / seconds + 0.5));
    } else if (i > 0 && i + 1 < runs.size()) {
      std::printf("silence %ld %ld\n", ms(r.from), ms(r.to));
    }
  }
  return 0;
}
