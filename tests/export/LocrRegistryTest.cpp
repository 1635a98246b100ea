// The locr export against Windows' own registry: the values it writes under
// HKEY_CURRENT_USER\Software\locr\LocrClient, read back through the registry
// API, and the client path it takes from there. The key's earlier values are
// put back afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "export/LocrExport.h"
#include "export/RangeSelection.h"
#include "tests/export/ExportTestSupport.h"
#include "tests/support/FakeWindowView.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

constexpr wchar_t kKey[] = L"Software\\locr\\LocrClient";

struct RawValue {
  DWORD type = 0;
  std::vector<BYTE> data;
};

std::optional<RawValue> ReadValue(const wchar_t* name) {
  DWORD type = 0;
  DWORD size = 0;
  if (::RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  RawValue value{type, std::vector<BYTE>(size)};
  if (::RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_ANY | RRF_NOEXPAND, &type, value.data.data(), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.data.resize(size);
  return value;
}

void WriteValue(const wchar_t* name, const std::optional<RawValue>& value) {
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  if (value) {
    ::RegSetValueExW(key, name, 0, value->type, value->data.data(), static_cast<DWORD>(value->data.size()));
  } else {
    ::RegDeleteValueW(key, name);
  }
  ::RegCloseKey(key);
}

class LocrRegistryTest : public ::testing::Test {
 protected:
  // A working folder whose name a Western PC's code page cannot spell: the
  // folders written to the registry keep every character.
  LocrRegistryTest() : work_(MadeFolder(temp_.Path() / fs::path(u8"Фото 写真"))), cwd_(work_) {
    for (const wchar_t* name : kNames) saved_.push_back(ReadValue(name));
    state_.logStamp = "20080307140509";
    state_.logSerial = 123456;
    state_.fixList = testing::ListBuilder()
                         .Add(testing::Fix("121.509463", 'W', "25.052056", 'N'),
                              "$GPRMC,140509.000,A,2503.1234,N,12130.5678,W,10.0,54.7,070308,,,A*73")
                         .Build();
    OnRangeAll(state_);
  }
  ~LocrRegistryTest() override {
    for (std::size_t i = 0; i < std::size(kNames); ++i) WriteValue(kNames[i], saved_[i]);
  }

  static constexpr const wchar_t* kNames[] = {L"DirectoryGpsFile", L"DirectoryPhotos", L"LoadFilesAtStartup",
                                              L"ExecutionFile"};
  static fs::path MadeFolder(const fs::path& folder) {
    fs::create_directories(folder);
    return folder;
  }

  testing::TempFolder temp_;
  fs::path work_;
  testing::ScopedWorkingDirectory cwd_;
  std::vector<std::optional<RawValue>> saved_;
  AppState state_;
  testing::FakeWindowView view_;
  testing::FakeShell shell_;
};

TEST_F(LocrRegistryTest, WritesTheDescribedValuesAndStartsTheClientNamedThere) {
  const std::string client = "C:\\Program Files\\locr\\locr.exe";
  const std::wstring wideClient(client.begin(), client.end());
  const auto* bytes = reinterpret_cast<const BYTE*>(wideClient.c_str());
  WriteValue(L"ExecutionFile",
             RawValue{REG_SZ, std::vector<BYTE>(bytes, bytes + (wideClient.size() + 1) * sizeof(wchar_t))});
  std::unique_ptr<KeyStore> registry = MakeUserKeyStore();
  OnOutputLocr(state_, view_, shell_, *registry);

  const std::wstring expected = (work_ / kLocrClientFolder).wstring();
  for (const wchar_t* name : {L"DirectoryGpsFile", L"DirectoryPhotos"}) {
    SCOPED_TRACE(::testing::Message() << std::string(name, name + wcslen(name)));
    const std::optional<RawValue> value = ReadValue(name);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
    ASSERT_EQ(value->data.size(), (expected.size() + 1) * sizeof(wchar_t)) << "the size counts the NUL";
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(value->data.data()), expected.size()), expected);
  }
  const std::optional<RawValue> load = ReadValue(L"LoadFilesAtStartup");
  ASSERT_TRUE(load);
  EXPECT_EQ(load->type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(load->data, (std::vector<BYTE>{1, 0, 0, 0}));
  EXPECT_EQ(shell_.opened, std::vector<std::string>{client});
  EXPECT_TRUE(fs::exists(work_ / "locr" / "20080307140509_locr_123456.txt"));
}

}  // namespace
}  // namespace quillon
