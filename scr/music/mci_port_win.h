// The platform's media control interface and sound player behind MciPort.
#pragma once

#include <windows.h>

#include "scr/music/music.h"

namespace gelmo {

class WinMciPort final : public MciPort {
 public:
  explicit WinMciPort(HWND notify = nullptr) : notify_(notify) {}
  std::uint32_t SendString(const std::string& command, std::string* reply, unsigned replySize) override;
  std::uint32_t SendNotify(const std::string& command) override;
  std::uint32_t DeviceOf(const std::string& alias) override;
  bool ErrorString(std::uint32_t code, std::string* text, unsigned size) override;
  std::int32_t SoundCommand(const std::string* sound, std::uint32_t flags) override;
  unsigned WaveOutDevices() override;

 private:
  HWND notify_;  // told MM_MCINOTIFY
};

}  // namespace gelmo
