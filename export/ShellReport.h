#pragma once

#include <string>

#include "core/WindowView.h"

namespace quillon {

// Reports the result of handing a file or program to the shell, caption
// "API-return": 2 "URL error", 30 "Application busy", 29 and 31 the given
// download message. Success and every other code show nothing.
void ReportShellResult(WindowView& view, int shellResult, const std::string& downloadMessage);

// "<prefix>\"<address>\" ": the download messages of the shell hand-offs.
std::string DownloadMessage(const std::string& prefix, const std::string& address);

}  // namespace quillon
