#include "geotag/PhotoList.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "geotag/PhotoGeotag.h"
#include "platform/Utf8Path.h"

namespace quillon {

namespace {

void AddFolder(const std::filesystem::path& folder, const std::string& shown, bool recursive,
               std::vector<PhotoEntry>& entries) {
  std::error_code ec;
  std::vector<std::filesystem::path> files;
  std::vector<std::filesystem::path> folders;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (it->is_directory(typeError)) {
      if (recursive && !it->is_symlink(typeError)) folders.push_back(it->path());
    } else if (HasPhotoExtension(Utf8Text(it->path().filename()))) {
      files.push_back(it->path());
    }
  }
  if (ec) {
    entries.push_back({shown, "cannot read the folder: " + ec.message()});
    return;
  }
  std::sort(files.begin(), files.end());
  std::sort(folders.begin(), folders.end());
  for (const std::filesystem::path& file : files) entries.push_back({Utf8Text(file), {}});
  for (const std::filesystem::path& inner : folders) AddFolder(inner, Utf8Text(inner), recursive, entries);
}

}  // namespace

std::vector<PhotoEntry> ListPhotos(const std::vector<std::string>& paths, bool recursive) {
  std::vector<PhotoEntry> entries;
  for (const std::string& path : paths) {
    std::error_code ec;
    const std::filesystem::path given = Utf8Path(path);
    if (std::filesystem::is_directory(given, ec)) {
      AddFolder(given, path, recursive, entries);
    } else {
      entries.push_back({path, {}});
    }
  }
  return entries;
}

}  // namespace quillon
