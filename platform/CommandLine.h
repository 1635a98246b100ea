#pragma once

#include <string>
#include <vector>

namespace quillon {

// The program's arguments after its own name, as UTF-8 text. On Windows they
// come from the wide command line, so that a file name the ANSI code page
// cannot spell arrives whole on any Windows version; elsewhere they are argv.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

}  // namespace quillon
