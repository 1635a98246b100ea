#include "export/ShellReport.h"

#include "core/MessageTexts.h"
#include "platform/Shell.h"

namespace quillon {

void ReportShellResult(WindowView& view, int shellResult, const std::string& downloadMessage) {
  switch (shellResult) {
    case kShellFileNotFound:
      view.ShowMessage(kShellUrlErrorMessage, kApiReturnCaption);
      break;
    case kShellDdeBusy:
      view.ShowMessage(kShellBusyMessage, kApiReturnCaption);
      break;
    case kShellDdeFailed:
    case kShellNoAssociation:
      view.ShowMessage(downloadMessage, kApiReturnCaption);
      break;
    default:
      break;
  }
}

std::string DownloadMessage(const std::string& prefix, const std::string& address) {
  return prefix + "\"" + address + "\" ";
}

}  // namespace quillon
