#pragma once

#include <functional>
#include <ostream>
#include <string>

namespace quillon {

// Writes render's bytes through descriptor `fd`, which the process already
// holds (1 for standard output), at wherever it stands: the position it
// shares with the shell that opened it moves on with them. True when every
// byte got there.
bool WriteToDescriptor(int fd, const std::function<void(std::ostream&)>& render);

enum class DeviceWrite { kWritten, kFailed, kNoReader };

// Writes render's bytes into the device or named pipe at `path`. A pipe that
// no program has open for reading is not waited for: kNoReader at once.
DeviceWrite WriteToDevice(const std::string& path, const std::function<void(std::ostream&)>& render);

}  // namespace quillon
