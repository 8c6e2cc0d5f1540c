#include "scr/music/mci_port_win.h"

#include <windows.h>
#include <mmsystem.h>

#include <vector>

namespace gelmo {

std::uint32_t WinMciPort::SendString(const std::string& command, std::string* reply, unsigned replySize) {
  if (!reply || replySize == 0) return mciSendStringA(command.c_str(), nullptr, 0, nullptr);
  std::vector<char> buffer(replySize, '\0');
  const MCIERROR code = mciSendStringA(command.c_str(), buffer.data(), replySize, nullptr);
  buffer.back() = '\0';
  *reply = buffer.data();
  return code;
}

bool WinMciPort::ErrorString(std::uint32_t code, std::string* text, unsigned size) {
  std::vector<char> buffer(size, '\0');
  if (!mciGetErrorStringA(code, buffer.data(), size)) return false;
  buffer.back() = '\0';
  *text = buffer.data();
  return true;
}

std::int32_t WinMciPort::SoundCommand(const std::string* sound, std::uint32_t flags) {
  return PlaySoundA(sound ? sound->c_str() : nullptr, nullptr, flags);
}

unsigned WinMciPort::WaveOutDevices() { return waveOutGetNumDevs(); }

}  // namespace gelmo
