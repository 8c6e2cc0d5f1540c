// The program's argument text: the command line less the program's name.
#pragma once

#include <string>

namespace gelmo {

// Everything after the program name of a full command line (as GetCommandLineA
// gives it), with the blanks between them dropped.  The name may be quoted
// ("C:\Program Files\x.scr" /s) or not (C:\x.scr /s).  An unterminated quote
// takes the rest of the line as the name.
std::string ArgumentsAfterProgramName(const std::string& commandLine);

}  // namespace gelmo
