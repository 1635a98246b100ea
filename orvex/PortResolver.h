#pragma once

#include <filesystem>
#include <optional>

namespace quillon::orvex {

// Where COM port n lives. When the working directory has a folder "ports",
// it alone decides: its entry "COMn" (normally a symbolic link to the tty) is
// port n while "COMn.pid" beside it names a process that runs; an absent
// entry, or one whose publisher is gone, means no such port. Without that
// folder the platform default applies: the existing devices /dev/ttyUSB0..9
// followed by /dev/ttyACM0..9, in that order, are COM1, COM2, ...
std::optional<std::filesystem::path> ResolveComPort(int port,
                                                    const std::filesystem::path& workingDirectory = ".");

inline constexpr int kFirstScannedPort = 1;
inline constexpr int kLastScannedPort = 99;

}  // namespace quillon::orvex
