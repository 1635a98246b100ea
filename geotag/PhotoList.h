#pragma once

#include <string>
#include <vector>

namespace quillon {

// One photo to tag, or a folder that could not be read (`problem` says why).
struct PhotoEntry {
  std::string path;
  std::string problem;
};

// The photos the paths name, in order: a file as it is given (whatever its
// name), a folder as the files in it whose names end in a photo format's
// extension, sorted by name, and with `recursive` those of the folders
// within it too. Other files in a folder are passed over.
std::vector<PhotoEntry> ListPhotos(const std::vector<std::string>& paths, bool recursive);

}  // namespace quillon
