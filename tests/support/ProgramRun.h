#pragma once

// Runs a program of the build as a user would, with its standard output and
// error caught in files.

#include <filesystem>
#include <string>
#include <vector>

namespace quillon {

// The exit status of the program (args[0]), or -1 when it did not start or
// had to be stopped after the time limit: a program that hangs fails its test
// instead of the whole run. The standard streams go to the two files.
int RunProgram(const std::vector<std::string>& args, const std::filesystem::path& outPath,
               const std::filesystem::path& errPath);

}  // namespace quillon
