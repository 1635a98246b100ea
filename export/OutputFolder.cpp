#include "export/OutputFolder.h"

#include "core/AppState.h"
#include "platform/WorkingDirectory.h"

namespace quillon {

std::string EnterOutputFolder(std::string_view folderName) {
  std::string remembered = GetWorkingDirectory();
  if (remembered.empty()) return remembered;
  std::string folder = remembered;
  if (folder.back() != kPathSeparator) folder += kPathSeparator;
  folder += folderName;
  folder += kPathSeparator;
  CreateFolder(folder);
  SetWorkingDirectory(folder);
  return remembered;
}

void LeaveOutputFolder(const std::string& rememberedFolder) { SetWorkingDirectory(rememberedFolder); }

void OutputFolderScope::Leave() {
  if (left_) return;
  left_ = true;
  LeaveOutputFolder(remembered_);
}

}  // namespace quillon
