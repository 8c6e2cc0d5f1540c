#include "scr/forms/command_line.h"

namespace gelmo {

std::string ArgumentsAfterProgramName(const std::string& line) {
  std::size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  if (i < line.size() && line[i] == '"') {
    const std::size_t close = line.find('"', i + 1);
    if (close == std::string::npos) return {};
    i = close + 1;
  }
  // The rest of the name runs to the first blank (a quoted name may be followed
  // directly by more name characters, as the system's own parser allows).
  while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  return line.substr(i);
}

}  // namespace gelmo
