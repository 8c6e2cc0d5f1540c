#include "scr/start/command_line.h"

#include <limits>

#include "scr/settings/cp932.h"
#include "scr/settings/number_text.h"

namespace gelmo {
namespace {

bool IsValBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string CommandSwitch(std::string_view commandLine) {
  const std::size_t pos = Cp932CharOffset(commandLine, 2);
  if (pos >= commandLine.size()) return {};
  std::string result(commandLine.substr(pos, Cp932CharBytes(commandLine, pos)));
  if (result.size() == 1 && result[0] >= 'a' && result[0] <= 'z') result[0] = char(result[0] - 'a' + 'A');
  return result;
}

std::optional<std::int32_t> ValToInt32(std::string_view text) {
  DecimalBuilder builder;
  bool signAllowed = true;  // only before the first digit or point
  bool inFraction = false;
  for (const char c : text) {
    if (IsValBlank(c)) continue;
    if (signAllowed && (c == '+' || c == '-')) {
      builder.SetNegative(c == '-');
      signAllowed = false;
    } else if (IsDigit(c)) {
      if (inFraction)
        builder.AddFractionDigit(c);
      else
        builder.AddWholeDigit(c);
      signAllowed = false;
    } else if (c == '.' && !inFraction) {
      inFraction = true;
      signAllowed = false;
    } else {
      break;
    }
  }
  const std::optional<std::int64_t> value = RoundHalfEven(builder.Result());
  if (!value || *value < std::numeric_limits<std::int32_t>::min() ||
      *value > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(*value);
}

std::int32_t PreviewHostWindow(std::string_view commandLine) {
  // A handle that does not fit leaves the handle at 0, as an unreadable one does.
  return ValToInt32(commandLine.substr(Cp932CharOffset(commandLine, 4))).value_or(0);
}

StartRequest ParseCommandLine(std::string_view commandLine) {
  StartRequest request;
  const std::string sw = CommandSwitch(commandLine);
  if (sw == "P") {
    request.mode = StartMode::kPreview;
    request.hostWindow = PreviewHostWindow(commandLine);
  } else if (sw == "C") {
    request.mode = StartMode::kSettings;  // a handle after /c: is not used
  } else if (sw == "S") {
    request.mode = StartMode::kSaver;
  } else if (commandLine.empty()) {
    request.mode = StartMode::kSaverCursorVisible;
  } else {
    request.mode = StartMode::kEnd;
  }
  return request;
}

}  // namespace gelmo
