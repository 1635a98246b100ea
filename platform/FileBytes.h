#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quillon {

enum class FileBytesOutcome { kRead, kCannotOpen, kTooLarge };

// The bytes of the regular file at `path` in one piece, read-only, kept for
// as long as `bytes` is shared. They are read into a buffer of their own that
// is not cleared first (a full logger memory is some 40 MB; clearing it was a
// tenth of a conversion). The file is not mapped: a window keeps its log for
// as long as the user likes, and a mapped file that another program cuts
// shorter in place (as `cp` onto it does) would stop this program at its
// next read. kCannotOpen for anything but a regular file that
// can be opened (a pipe is refused without waiting for a writer); kTooLarge
// for a file of more than `maxBytes` bytes or one that does not fit in
// memory. `bytes` changes only with kRead.
FileBytesOutcome ReadFileBytes(const std::string& path, std::uint64_t maxBytes,
                               std::shared_ptr<const std::string_view>& bytes);

// The same bytes for a reader that is done with them in a moment (the
// command line converter): mapped from the file's cache instead of copied,
// which saves a copy and the fresh memory it needs. The mapping lives under a
// read lease on the file: while `bytes` is shared, another program that
// opens the file for writing or cuts it waits until they are released (at
// most the system's lease-break time, 45 s by default), so no mapped page
// can vanish under the reader. Where no lease can be had (the file is open
// for writing somewhere, is another user's, or lies on a file system without
// leases) and on systems other than Linux, the bytes are read as
// ReadFileBytes reads them.
FileBytesOutcome MapFileBytes(const std::string& path, std::uint64_t maxBytes,
                              std::shared_ptr<const std::string_view>& bytes);

}  // namespace quillon
