#pragma once

#include <memory>
#include <string>

#include "core/MessageBoxes.h"
#include "device/DeviceLibrary.h"

namespace quillon {

// What a call to an entry point the bound library lacks returns. Callers test
// Has() first; this code is in no caller's table, so a slip shows nothing.
inline constexpr int kEntryPointMissingCode = -1;

// The exported names, indexed by EntryPoint.
const char* EntryPointName(EntryPoint entry);

// Loads "<workingDirectory>//ORVEX_DLL.dll" and resolves its eleven entry
// points. When the library cannot be loaded it shows "ORVEX_DLL.dll not find"
// (caption "API-return") on `ownerless` and returns null. A library lacking
// some entry points still binds; Has() tells which ones it provides.
std::unique_ptr<DeviceLibrary> BindDeviceLibrary(const std::string& workingDirectory, MessageBoxes& ownerless);

}  // namespace quillon
