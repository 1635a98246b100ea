#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "platform/FileBytes.h"

namespace quillon {

// Writes the file at path (binary: line ends as rendered) by rendering into a
// temporary file in the same folder and renaming it over path only when every
// byte was written. On any failure the temporary file is removed, path keeps
// whatever it held before, and the result is false. A symbolic link keeps
// pointing at the replaced file, or at the file made where it pointed; a
// link whose end is in a folder that does not exist fails and stays. The
// folder must exist. A replaced file's permission bits go to its successor.
// The temporary file (".NAME.<process>-<n>.tmp", NAME cut short where the
// whole would be too long a name) is removed as well when SIGINT, SIGTERM,
// SIGHUP or SIGXFSZ ends the program while it is written; one that a
// process no longer running left behind is removed by the next write of the
// same path.
bool WriteFileAtomically(const std::string& path, const std::function<void(std::ostream&)>& render);

enum class SpliceOutcome { kReplaced, kFailed, kSourceChanged };

// As WriteFileAtomically, for a file whose new bytes are `head` followed by
// those of `source` from `sourceOffset` to its end (a file of which only the
// beginning changes, such as a photo's metadata). They are copied within
// the operating system where it can, and `source`, when this is its last
// holder, is closed before the rename (Windows cannot replace an open file). kSourceChanged, with nothing replaced, when `source` was written
// or cut while it was copied.
SpliceOutcome SpliceFileAtomically(const std::string& path, std::string_view head,
                                   std::shared_ptr<PositionalFile> source, std::uint64_t sourceOffset);

}  // namespace quillon
