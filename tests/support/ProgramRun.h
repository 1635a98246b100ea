#pragma once

// Runs a program of the build as a user would, with its standard output and
// error caught in files.

#include <filesystem>
#include <string>
#include <vector>

namespace quillon {

// Whether a program started here takes the TZ its parent sets. A Windows
// program takes the system's zone, which Wine derives from the TZ it was
// started with, not from the environment a parent gives it: there the zone
// cases run as ctest tests with TZ given to the whole Wine process.
inline constexpr bool kChildZoneFollowsTz =
#ifdef _WIN32
    false;
#else
    true;
#endif

// The exit status of the program (args[0]), or -1 when it did not start or
// had to be stopped after the time limit: a program that hangs fails its test
// instead of the whole run. The standard streams go to the two files.
int RunProgram(const std::vector<std::string>& args, const std::filesystem::path& outPath,
               const std::filesystem::path& errPath);

}  // namespace quillon
