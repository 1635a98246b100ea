#include "orvex/VoiceFiles.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "api/DeviceCodes.h"
#include "orvex/NarrowPath.h"
#include "orvex/WireProtocol.h"

namespace quillon::orvex {
namespace {

namespace fs = std::filesystem;

bool IsWaveName(const fs::path& path) {
  std::string extension = NarrowText(path.extension());
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".wav";
}

}  // namespace

bool IsCompleteWave(const std::string& bytes) {
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const std::size_t size = bytes.size();
  if (size < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) return false;
  if (static_cast<std::uint64_t>(GetU32(data + 4)) + 8 > size) return false;
  bool format = false;
  bool samples = false;
  std::size_t offset = 12;
  while (offset + 8 <= size) {
    std::uint64_t chunkSize = GetU32(data + offset + 4);
    if (offset + 8 + chunkSize > size) return false;
    if (bytes.compare(offset, 4, "fmt ") == 0) format = chunkSize >= 16;
    if (bytes.compare(offset, 4, "data") == 0) samples = true;
    offset += 8 + static_cast<std::size_t>(chunkSize) + (chunkSize & 1);
  }
  return format && samples;
}

int CheckVoiceFolder(const char* path) {
  if (path == nullptr || *path == '\0') return 0;
  std::error_code error;
  const fs::path folder = NarrowPath(path);
  auto status = fs::status(folder, error);
  if (!fs::exists(status)) return 0;
  if (!fs::is_directory(status)) return code::kWaveFilePathError;

  std::vector<fs::path> waves;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    if (entry.is_regular_file(error) && IsWaveName(entry.path())) waves.push_back(entry.path());
  }
  std::sort(waves.begin(), waves.end());
  for (const auto& wave : waves) {
    if (fs::file_size(wave, error) > kMaxVoiceFileBytes) return code::kVoiceFileTooLarge;
    std::ifstream in(wave, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) return code::kUncompletedWaveFiles;
    if (!IsCompleteWave(bytes)) return code::kUncompletedWaveFiles;
  }
  return 0;
}

}  // namespace quillon::orvex
