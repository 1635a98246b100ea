#pragma once

#include <functional>
#include <ostream>
#include <string>

namespace quillon {

// Writes the file at path (binary: line ends as rendered) by rendering into a
// temporary file in the same folder and renaming it over path only when every
// byte was written. On any failure the temporary file is removed, path keeps
// whatever it held before, and the result is false. A symbolic link keeps
// pointing at the replaced file, or at the file made where it pointed; a
// link whose end is in a folder that does not exist fails and stays. The
// folder must exist.
bool WriteFileAtomically(const std::string& path, const std::function<void(std::ostream&)>& render);

}  // namespace quillon
