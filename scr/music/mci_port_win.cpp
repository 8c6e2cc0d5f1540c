#include "scr/music/mci_port_win.h"

#include <windows.h>
#include <mmsystem.h>

#include <vector>

#include "scr/forms/text_win.h"

namespace gelmo {

std::uint32_t WinMciPort::SendString(const std::string& command, std::string* reply, unsigned replySize) {
  const std::wstring wide = forms::Wide(command);
  if (!reply || replySize == 0) return mciSendStringW(wide.c_str(), nullptr, 0, nullptr);
  std::vector<wchar_t> buffer(replySize, L'\0');
  const MCIERROR code = mciSendStringW(wide.c_str(), buffer.data(), replySize, nullptr);
  buffer.back() = L'\0';
  *reply = forms::Narrow(buffer.data());
  return code;
}

std::uint32_t WinMciPort::SendNotify(const std::string& command) {
  return mciSendStringW(forms::Wide(command).c_str(), nullptr, 0, notify_);
}

std::uint32_t WinMciPort::DeviceOf(const std::string& alias) { return mciGetDeviceIDW(forms::Wide(alias).c_str()); }

bool WinMciPort::ErrorString(std::uint32_t code, std::string* text, unsigned size) {
  std::vector<wchar_t> buffer(size, L'\0');
  if (!mciGetErrorStringW(code, buffer.data(), size)) return false;
  buffer.back() = L'\0';
  *text = forms::Narrow(buffer.data());
  return true;
}

std::int32_t WinMciPort::SoundCommand(const std::string* sound, std::uint32_t flags) {
  if (!sound) return PlaySoundW(nullptr, nullptr, flags);
  return PlaySoundW(forms::Wide(*sound).c_str(), nullptr, flags);
}

unsigned WinMciPort::WaveOutDevices() { return waveOutGetNumDevs(); }

}  // namespace gelmo
