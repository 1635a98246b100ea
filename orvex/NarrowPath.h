#pragma once

#include <filesystem>
#include <string>

namespace quillon::orvex {

// The library's entry points take file and folder names as narrow text, which
// on Windows is in the process's ANSI code page (UTF-8 in Quillon, whose
// manifest asks for it). std::filesystem would read such text byte by byte;
// these convert through the code page instead. Elsewhere the text is the name.
std::filesystem::path NarrowPath(const std::string& text);
std::string NarrowText(const std::filesystem::path& path);

}  // namespace quillon::orvex
