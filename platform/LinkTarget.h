#pragma once

#include <filesystem>
#include <system_error>

namespace quillon {

// Where a chain of symbolic links ends: each link's content is read and, when
// relative, taken from the folder of the link that holds it, until the path
// is no link. The end need not exist (a link to a file still to be made). A
// path that is no link comes back as it is. A chain longer than the system
// would follow (a circle, say) gives an empty path and
// too_many_symbolic_link_levels.
std::filesystem::path FinalLinkTarget(const std::filesystem::path& path, std::error_code& error);

}  // namespace quillon
