#pragma once

#include <cstdint>
#include <string>

namespace quillon::orvex {

inline constexpr std::uintmax_t kMaxVoiceFileBytes = 128 * 1024;

// Checks the wave files (*.wav, any case) of the voice folder before the
// settings go to the logger. A missing folder, or one without wave files,
// means no voice data and passes (0). Otherwise: 23 when the path exists but
// is no folder, 17 for a file over 128K bytes, 16 for a file that is not a
// complete RIFF/WAVE file (short header, missing "fmt " or "data" chunk, or a
// chunk running past the end of the file). Files are checked in name order;
// the first failure decides.
int CheckVoiceFolder(const char* path);

// Whether the bytes hold a complete RIFF/WAVE file.
bool IsCompleteWave(const std::string& bytes);

}  // namespace quillon::orvex
