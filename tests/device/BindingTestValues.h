#pragma once

#include <stdint.h>

// Values the partial test library answers with, shared with the binding tests.
inline constexpr int kBindingAutoPort = 42;
inline constexpr int kBindingExitCode = 77;
inline constexpr uint32_t kBindingSerial = 3000000000u;
inline constexpr char kBindingFirmware[] = "V9.8";
inline constexpr char kBindingDistributor[] = "Test distributor";
inline constexpr char kBindingRawLogName[] = "Rawdata/20080312140509_Rawdata_123456.txt";
inline constexpr int kBindingBytesUsed = 4096;
