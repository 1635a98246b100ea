#include "platform/LinkTarget.h"

namespace quillon {

namespace {

// As many links as Linux follows in one path.
constexpr int kMaxLinkHops = 40;

}  // namespace

std::filesystem::path FinalLinkTarget(const std::filesystem::path& path, std::error_code& error) {
  std::filesystem::path current = path;
  for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(current, error))) {
      // A path that cannot be looked at is no link; its writer finds out why.
      error.clear();
      return current;
    }
    std::filesystem::path next = std::filesystem::read_symlink(current, error);
    if (error) return {};
    current = next.is_absolute() ? next : current.parent_path() / next;
  }
  error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
  return {};
}

}  // namespace quillon
