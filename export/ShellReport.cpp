#include "export/ShellReport.h"

#include "platform/Shell.h"

namespace quillon {

void ReportShellResult(WindowView& view, int shellResult, const std::string& downloadMessage) {
  const std::string caption = "API-return";
  switch (shellResult) {
    case kShellFileNotFound:
      view.ShowMessage("URL error", caption);
      break;
    case kShellDdeBusy:
      view.ShowMessage("Application busy", caption);
      break;
    case kShellDdeFailed:
    case kShellNoAssociation:
      view.ShowMessage(downloadMessage, caption);
      break;
    default:
      break;
  }
}

std::string DownloadMessage(const std::string& prefix, const std::string& address) {
  return prefix + "\"" + address + "\" ";
}

}  // namespace quillon
