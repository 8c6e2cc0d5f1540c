// Any command line: one of the five modes, a host window only for a preview,
// and a switch of at most one (double-byte) character.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "scr/start/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using gelmo::StartMode;
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const gelmo::StartRequest request = gelmo::ParseCommandLine(line);
  switch (request.mode) {
    case StartMode::kPreview: break;
    case StartMode::kSettings:
    case StartMode::kSaver:
    case StartMode::kEnd:
      if (request.hostWindow != 0) std::abort();
      break;
    case StartMode::kSaverCursorVisible:
      if (!line.empty() || request.hostWindow != 0) std::abort();
      break;
    default: std::abort();
  }
  if (gelmo::CommandSwitch(line).size() > 2) std::abort();
  gelmo::ValToInt32(line);
  return 0;
}
