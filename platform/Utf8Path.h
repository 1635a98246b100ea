#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace quillon {

// Paths travel through the program as UTF-8 text: from the command line, the
// window toolkit and the files a user names. std::filesystem on Windows reads
// narrow text byte by byte instead (each byte one UTF-16 unit), so a name such
// as "Фото" would name another file. Every path made from text and every text
// made from a path goes through these two. Bytes that are not UTF-8 (possible
// in a Linux file name) pass through unchanged on Linux and become U+FFFD on
// Windows.
std::filesystem::path Utf8Path(std::string_view text);
std::string Utf8Text(const std::filesystem::path& path);

// std::fopen for a path given as UTF-8 text (_wfopen on Windows).
std::FILE* OpenUtf8File(const std::string& path, const char* mode);

}  // namespace quillon
