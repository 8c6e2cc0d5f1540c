// The platform's media control interface and sound player behind MciPort.
#pragma once

#include "scr/music/music.h"

namespace gelmo {

class WinMciPort final : public MciPort {
 public:
  std::uint32_t SendString(const std::string& command, std::string* reply, unsigned replySize) override;
  bool ErrorString(std::uint32_t code, std::string* text, unsigned size) override;
  std::int32_t SoundCommand(const std::string* sound, std::uint32_t flags) override;
  unsigned WaveOutDevices() override;
};

}  // namespace gelmo
