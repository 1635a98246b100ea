#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quillon {

enum class FileBytesOutcome { kRead, kCannotOpen, kTooLarge };

// The bytes of the regular file at `path` in one piece, read-only, kept for
// as long as `bytes` is shared. Where the system can, the file is mapped:
// its pages are those of the system's file cache, so nothing is copied and no
// fresh memory is cleared for them (a full logger memory is some 40 MB, and
// on virtual machines the first touch of fresh memory is the dearest part of
// a load). Elsewhere, and where mapping fails, the file is read into memory.
// kCannotOpen for anything but a regular file that can be opened (a pipe is
// refused without waiting for a writer); kTooLarge for a file of more than
// `maxBytes` bytes or one that does not fit in memory. `bytes` changes only
// with kRead.
//
// A mapped file must not be cut shorter while its bytes are in use: the
// system stops a process that reads a mapped page beyond a file's end. The
// raw logs this program reads are replaced by renaming a new file over them,
// which leaves the mapped one intact.
FileBytesOutcome ReadFileBytes(const std::string& path, std::uint64_t maxBytes,
                               std::shared_ptr<const std::string_view>& bytes);

}  // namespace quillon
