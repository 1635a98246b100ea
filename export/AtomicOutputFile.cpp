#include "export/AtomicOutputFile.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace quillon {

namespace {

constexpr std::size_t kStreamBufferSize = 1 << 18;

std::filesystem::path TemporaryPathFor(const std::filesystem::path& target) {
  static std::atomic<unsigned> counter{0};
  static const unsigned seed = std::random_device{}();
  std::filesystem::path temp;
  std::error_code ec;
  do {
    std::string name = "." + target.filename().string() + "." + std::to_string(seed) + "-" +
                       std::to_string(counter++) + ".tmp";
    temp = target.parent_path() / name;
  } while (std::filesystem::exists(temp, ec));
  return temp;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::function<void(std::ostream&)>& render) {
  const std::filesystem::path target(path);
  if (target.filename().empty()) return false;
  const std::filesystem::path temp = TemporaryPathFor(target);
  bool written = false;
  {
    std::vector<char> buffer(kStreamBufferSize);
    std::ofstream out;
    out.rdbuf()->pubsetbuf(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    out.open(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    render(out);
    out.flush();
    written = out.good();
    out.close();
    written = written && !out.fail();
  }
  std::error_code ec;
  if (written) {
    std::filesystem::rename(temp, target, ec);
    if (!ec) return true;
  }
  std::filesystem::remove(temp, ec);
  return false;
}

}  // namespace quillon
