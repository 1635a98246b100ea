#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "api/DeviceCodes.h"
#include "device/LibraryBinding.h"
#include "tests/device/BindingTestValues.h"
#include "tests/support/FakeWindowView.h"
#include "tests/support/TempFolder.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;
using testing::FakeMessageBoxes;
using testing::ShownMessage;

const ShownMessage kNotFind{"ORVEX_DLL.dll not find", "API-return", MessageButtons::kOk, false};

const EntryPoint kAllEntryPoints[] = {
    EntryPoint::kAutoIntoDumpMode,    EntryPoint::kIntoDumpMode,       EntryPoint::kExitDumpMode,
    EntryPoint::kReadDeviceInformation, EntryPoint::kReadGpsUtcTimeDate, EntryPoint::kDumpDb,
    EntryPoint::kReadMemoryUsedSize,  EntryPoint::kReadSettingValue,   EntryPoint::kSettingDevice,
    EntryPoint::kEraseAllDb,          EntryPoint::kReadDllVersion,
};

TEST(BindingTest, MissingLibraryShowsNotFindAndBindsNothing) {
  testing::TempFolder folder;
  FakeMessageBoxes ownerless;
  EXPECT_EQ(BindDeviceLibrary(folder.Path().string(), ownerless), nullptr);
  ASSERT_EQ(ownerless.messages.size(), 1u);
  EXPECT_EQ(ownerless.messages[0], kNotFind);
}

TEST(BindingTest, FileThatIsNoLibraryShowsNotFind) {
  testing::TempFolder folder;
  std::ofstream(folder.Path() / "ORVEX_DLL.dll") << "MZ this is not a loadable library";
  FakeMessageBoxes ownerless;
  EXPECT_EQ(BindDeviceLibrary(folder.Path().string(), ownerless), nullptr);
  ASSERT_EQ(ownerless.messages.size(), 1u);
  EXPECT_EQ(ownerless.messages[0], kNotFind);
}

TEST(BindingTest, MissingFolderShowsNotFind) {
  testing::TempFolder folder;
  FakeMessageBoxes ownerless;
  EXPECT_EQ(BindDeviceLibrary((folder.Path() / "missing").string(), ownerless), nullptr);
  EXPECT_EQ(ownerless.messages.size(), 1u);
}

class PartialBindingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    library = BindDeviceLibrary(QUILLON_PARTIAL_LIBRARY_DIR, ownerless);
    ASSERT_NE(library, nullptr);
  }
  FakeMessageBoxes ownerless;
  std::unique_ptr<DeviceLibrary> library;
};

TEST_F(PartialBindingTest, LibraryLackingAnEntryPointStillBinds) {
  EXPECT_TRUE(ownerless.messages.empty());
  for (EntryPoint entry : kAllEntryPoints) {
    SCOPED_TRACE(EntryPointName(entry));
    EXPECT_EQ(library->Has(entry), entry != EntryPoint::kReadGpsUtcTimeDate);
  }
}

TEST_F(PartialBindingTest, CallToTheMissingEntryPointReturnsTheMissingCode) {
  std::uint8_t h = 1, m = 1, s = 1, y = 1, d = 1, mo = 1;
  EXPECT_EQ(library->ReadGpsUtcTimeDate(&h, &m, &s, &y, &d, &mo), kEntryPointMissingCode);
  EXPECT_EQ(h, 1);
  EXPECT_TRUE(ownerless.messages.empty());
}

TEST_F(PartialBindingTest, ArgumentsReachTheLibraryInOrder) {
  int port = 0;
  EXPECT_EQ(library->AutoIntoDumpMode(&port), code::kIntoDumpMode);
  EXPECT_EQ(port, kBindingAutoPort);
  EXPECT_EQ(library->IntoDumpMode(7), 107);
  EXPECT_EQ(library->ExitDumpMode(), kBindingExitCode);

  std::uint32_t serial = 0;
  char firmware[8] = {};
  char distributor[32] = {};
  EXPECT_EQ(library->ReadDeviceInformation(33, &serial, firmware, distributor), 33);
  EXPECT_EQ(serial, kBindingSerial);
  EXPECT_STREQ(firmware, kBindingFirmware);
  EXPECT_STREQ(distributor, kBindingDistributor);

  EXPECT_EQ(library->DumpDb(3, kBindingRawLogName), 5);
  int used = 0;
  EXPECT_EQ(library->ReadMemoryUsedSize(&used), code::kMemoryUsedRead);
  EXPECT_EQ(used, kBindingBytesUsed);
  EXPECT_EQ(library->EraseAllDb(5), code::kEraseSuccessful);
}

TEST_F(PartialBindingTest, SettingsTravelFieldByField) {
  LoggerSettingValues read;
  EXPECT_EQ(library->ReadSettingValue(2, &read), 22);
  EXPECT_EQ(read.timeInterval, 1);
  EXPECT_EQ(read.distanceInterval, 2);
  EXPECT_EQ(read.vibration, 3);
  EXPECT_EQ(read.tagFunction, 4);
  EXPECT_EQ(read.minimumSpeed, 5);
  EXPECT_EQ(read.userPointBlock[0], 0);
  EXPECT_EQ(read.userPointBlock[159], 159);
  EXPECT_EQ(read.idleTimer, 6);
  EXPECT_EQ(read.tagMode, 7);
  EXPECT_EQ(read.timeZone, -8);

  LoggerSettingValues sent;
  sent.timeInterval = 61;
  sent.distanceInterval = -1;
  sent.vibration = 2;
  sent.tagFunction = 1;
  sent.minimumSpeed = 7;
  std::memset(sent.userPointBlock, 0xFF, sizeof sent.userPointBlock);
  sent.idleTimer = 11;
  sent.tagMode = 0;
  sent.timeZone = -3;
  EXPECT_EQ(library->SettingDevice(9, sent, "voice file"), code::kSettingSuccessful);
  sent.idleTimer = 12;
  EXPECT_EQ(library->SettingDevice(9, sent, "voice file"), code::kSettingValueError);
}

TEST(FullBindingTest, StandInLibraryProvidesEveryEntryPoint) {
  FakeMessageBoxes ownerless;
  auto library = BindDeviceLibrary(QUILLON_ORVEX_LIBRARY_DIR, ownerless);
  ASSERT_NE(library, nullptr);
  for (EntryPoint entry : kAllEntryPoints) {
    SCOPED_TRACE(EntryPointName(entry));
    EXPECT_TRUE(library->Has(entry));
  }
  // Without dump mode the library answers at once, without touching a port.
  int used = -1;
  EXPECT_EQ(library->ReadMemoryUsedSize(&used), code::kNotDumpMode);
  EXPECT_EQ(used, -1);
  EXPECT_TRUE(ownerless.messages.empty());
}

}  // namespace
}  // namespace quillon
