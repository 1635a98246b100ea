#pragma once

namespace quillon {

// Makes standard output and error pass bytes unchanged. Windows' C runtime
// otherwise writes every "\n" as "\r\n", so that what a command-line program
// prints, redirected into a file, would differ from the other platforms'.
void UseBinaryStandardStreams();

}  // namespace quillon
