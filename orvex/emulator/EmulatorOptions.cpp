#include "orvex/emulator/EmulatorOptions.h"

#include <cstdlib>
#include <cstring>

namespace quillon::orvex {

const char* const kEmulatorUsage =
    "usage: orvex-emulator [--port-dir DIR] [--com N] [--serial N] [--fixes N | --track FILE]\n"
    "                      [--no-answer] [--chatty] [--refuse-dump-mode] [--gps-invalid] [--empty-info]\n"
    "                      [--garbled-info] [--bad-memory-size] [--setting-fail]\n"
    "                      [--unplug-after BYTES] [--corrupt-block N] [--baud N]\n";

namespace {

bool ReadNumber(const char* text, long long low, long long high, long long& out) {
  if (text == nullptr || *text == '\0') return false;
  char* end = nullptr;
  long long value = std::strtoll(text, &end, 10);
  if (*end != '\0' || value < low || value > high) return false;
  out = value;
  return true;
}

}  // namespace

std::optional<EmulatorOptions> ParseEmulatorOptions(int argc, char** argv, std::string& error) {
  EmulatorOptions options;
  struct Flag {
    const char* name;
    bool EmulatorOptions::*field;
  };
  const Flag flags[] = {
      {"--no-answer", &EmulatorOptions::noAnswer},
      {"--chatty", &EmulatorOptions::chatty},
      {"--refuse-dump-mode", &EmulatorOptions::refuseDumpMode},
      {"--gps-invalid", &EmulatorOptions::gpsInvalid},
      {"--empty-info", &EmulatorOptions::emptyInfo},
      {"--garbled-info", &EmulatorOptions::garbledInfo},
      {"--bad-memory-size", &EmulatorOptions::badMemorySize},
      {"--setting-fail", &EmulatorOptions::settingFail},
  };
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    bool matched = false;
    for (const Flag& flag : flags) {
      if (option == flag.name) {
        options.*flag.field = true;
        matched = true;
      }
    }
    if (matched) continue;
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    long long number = 0;
    auto numberIn = [&](long long low, long long high) {
      if (!ReadNumber(value, low, high, number)) {
        error = option + " needs a number from " + std::to_string(low) + " to " + std::to_string(high);
        return false;
      }
      ++i;
      return true;
    };
    if (option == "--port-dir" || option == "--track") {
      if (value == nullptr) {
        error = option + " needs a path";
        return std::nullopt;
      }
      (option == "--port-dir" ? options.portDir : options.trackFile) = value;
      ++i;
    } else if (option == "--com") {
      if (!numberIn(0, 255)) return std::nullopt;
      options.com = static_cast<int>(number);
    } else if (option == "--serial") {
      if (!numberIn(0, 4294967295LL)) return std::nullopt;
      options.serial = static_cast<std::uint32_t>(number);
    } else if (option == "--fixes") {
      if (!numberIn(0, 100000000)) return std::nullopt;
      options.fixes = static_cast<int>(number);
    } else if (option == "--unplug-after") {
      if (!numberIn(0, 1LL << 40)) return std::nullopt;
      options.unplugAfter = number;
    } else if (option == "--corrupt-block") {
      if (!numberIn(1, 1000000)) return std::nullopt;
      options.corruptBlock = static_cast<int>(number);
    } else if (option == "--baud") {
      if (!numberIn(50, 100000000)) return std::nullopt;
      options.baud = static_cast<int>(number);
    } else {
      error = "unknown option " + option;
      return std::nullopt;
    }
  }
  return options;
}

}  // namespace quillon::orvex
