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

// A regular file read at any offset, from any thread, for a reader that
// goes through a large file once in pieces (the command line converter):
// each piece lands in memory the reader keeps reusing, so none of the
// file's pages is mapped into this program, whose first touch of each page
// costs more than copying it (much more under some virtual machines). On
// Linux the reads happen under a read lease where one can be had: while the
// file is open here, another program that opens it for writing or cuts it
// waits, at most the system's lease-break time (45 s by default), so that
// the file does not change while it is read. Where no lease can be had (the
// file open for writing elsewhere, another user's file, a file system
// without leases), or once the lease is broken, the file may change; a file
// that shrinks all the same just gives fewer bytes, and ChangedSinceOpened
// tells. A file whose size reads as 0 (those under /proc) is read to its end
// when opened, to learn how many bytes it gives.
class PositionalFile {
 public:
  virtual ~PositionalFile() = default;
  std::uint64_t Size() const { return size_; }
  // Puts up to `count` bytes from `offset` at `to` and returns how many:
  // fewer only at the end of the file, 0 past it or when reading fails.
  virtual std::size_t ReadAt(std::uint64_t offset, char* to, std::size_t count) const = 0;
  // Whether the file has been written, cut or lengthened since it was
  // opened, as far as its size and its change times tell. A program that
  // writes the file in the same tick of the file system's clock as it was
  // last written before, keeping its size, goes unseen.
  virtual bool ChangedSinceOpened() const = 0;
  // Whether `path` names this very file, however it is spelled (links, hard
  // links, /dev/stdout redirected to it).
  virtual bool IsFileAt(const std::string& path) const = 0;
  // Whether this process's descriptor `fd` is open on this very file; false
  // where that cannot be told (Windows).
  virtual bool IsOpenAs(int fd) const = 0;
  // Appends the bytes from `offset` to the end of the file to the file open
  // for writing as descriptor `fd` (POSIX, or the C runtime's on Windows),
  // within the operating system where it can; true when all of them went.
  virtual bool CopyTo(int fd, std::uint64_t offset) const = 0;

 protected:
  std::uint64_t size_ = 0;
};

// All the bytes of an opened file in one buffer of its own, as
// ReadFileBytes reads them (fewer when the file has shrunk since it was
// opened); kTooLarge when they do not fit in memory.
FileBytesOutcome ReadAllBytes(const PositionalFile& file, std::shared_ptr<const std::string_view>& bytes);

// Opens the file at `path`: kCannotOpen for anything but a regular file that
// can be opened (a pipe is refused without waiting for a writer), kTooLarge
// for one of more than `maxBytes` bytes. `file` changes only with kRead.
FileBytesOutcome OpenPositionalFile(const std::string& path, std::uint64_t maxBytes,
                                    std::unique_ptr<PositionalFile>& file);

}  // namespace quillon
