#pragma once

namespace quillon {

// Makes standard output and error pass bytes unchanged. Windows' C runtime
// otherwise writes every "\n" as "\r\n", so that what a command-line program
// prints, redirected into a file, would differ from the other platforms'.
void UseBinaryStandardStreams();

// Opens the null device onto each of descriptors 0, 1 and 2 that is closed.
// A program started with one of them closed would otherwise get it back from
// the first file it opens, and then write its output, or messages, into that
// file (its input, even). Call it first thing, before anything opens a file.
// Nothing to do on Windows, where a missing standard handle is never reused.
void KeepStandardDescriptorsOpen();

}  // namespace quillon
