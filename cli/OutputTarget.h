#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

namespace quillon {

// What became of quillon-convert's output.
struct OutputResult {
  bool written = false;
  // The bytes went into something already there to take them (a descriptor
  // the process holds, a device, a pipe) rather than into a file of their
  // own, so no file name is worth printing; printing it could even land in
  // the data (-o /dev/stdout > file).
  bool intoStream = false;
  // Why nothing was written, in the command line's words ("its folder does
  // not exist"); empty when written.
  std::string problem;
};

// The descriptor of this process that an output name stands for: 1 for "-",
// /dev/stdout or /dev/fd/1, and so on, through links to such names.
std::optional<int> HeldDescriptor(std::filesystem::path path);

// Writes quillon-convert's output to the path given with -o, or to the
// default name. A regular file is replaced only when it was written
// completely; a symbolic link stays a link and its target is written. A
// device or a pipe (a FIFO) is written as it is, since renaming a file over
// it would replace it rather than write to it; a pipe that no program reads
// is refused rather than waited for. "-" and a name for a descriptor the
// process holds (/dev/stdout, /dev/fd/1) are written through that
// descriptor, where it stands. A folder cannot take the output.
OutputResult WriteOutput(const std::string& path, const std::function<void(std::ostream&)>& render);

}  // namespace quillon
