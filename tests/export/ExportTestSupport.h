#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/FixList.h"
#include "platform/KeyStore.h"
#include "platform/Shell.h"
#include "platform/WorkingDirectory.h"
#include "tests/support/FakeWindowView.h"
#include "tests/platform/WorkingDirectoryTestSupport.h"
#include "tests/support/TimeZoneScope.h"

namespace quillon::testing {

inline std::filesystem::path TestDataPath(const std::string& name) {
  return std::filesystem::path(QUILLON_TEST_DATA_DIR) / name;
}

// Compares with tests/data/<name>; with QUILLON_REGENERATE_GOLDEN=1 in the
// environment the file is rewritten from `actual` instead.
inline void ExpectMatchesGolden(const std::string& actual, const std::string& name) {
  const std::filesystem::path path = TestDataPath(name);
  const char* regenerate = std::getenv("QUILLON_REGENERATE_GOLDEN");
  if (regenerate && std::string_view(regenerate) == "1") {
    WriteFileBytes(path, actual);
    std::cout << "regenerated " << path << '\n';
    return;
  }
  ASSERT_TRUE(std::filesystem::exists(path)) << "missing golden file " << path;
  EXPECT_EQ(ReadFileBytes(path), actual) << "differs from golden file " << path;
}

// A fix with the given position texts and hemisphere letters; the other
// fields are set by the test where they matter.
inline FixRecord Fix(std::string_view longitude, char eastWest, std::string_view latitude, char northSouth) {
  FixRecord r;
  r.longitudeDegrees.Assign(longitude);
  r.eastWest = eastWest;
  r.latitudeDegrees.Assign(latitude);
  r.northSouth = northSouth;
  return r;
}

inline void SetUtc(FixRecord& r, int year, int month, int day, int hour, int minute, int second) {
  r.utcYear = static_cast<std::uint8_t>(year - 2000);
  r.utcMonth = static_cast<std::uint8_t>(month);
  r.utcDay = static_cast<std::uint8_t>(day);
  r.utcHour = static_cast<std::uint8_t>(hour);
  r.utcMinute = static_cast<std::uint8_t>(minute);
  r.utcSecond = static_cast<std::uint8_t>(second);
}

inline void SetLocal(FixRecord& r, int year, int month, int day, int hour, int minute, int second) {
  r.localYear = static_cast<std::int16_t>(year - 2000);
  r.localMonth = static_cast<std::uint8_t>(month);
  r.localDay = static_cast<std::uint8_t>(day);
  r.localHour = static_cast<std::uint8_t>(hour);
  r.localMinute = static_cast<std::uint8_t>(minute);
  r.localSecond = static_cast<std::uint8_t>(second);
}

// Builds a list whose records carry sentence texts, the way a parsed log
// holds them: spans into one shared text.
class ListBuilder {
 public:
  ListBuilder& Add(const FixRecord& record, const std::string& rmc = {}, const std::string& gga = {}) {
    FixRecord r = record;
    r.rmcSentence = Append(rmc);
    r.ggaSentence = Append(gga);
    records_.push_back(r);
    return *this;
  }
  FixList Build() const {
    FixList list;
    list.SetText(MakeSharedText(text_));
    for (const auto& r : records_) list.Append(r);
    return list;
  }

 private:
  TextSpan Append(const std::string& sentence) {
    TextSpan span{static_cast<std::uint32_t>(text_.size()), static_cast<std::uint8_t>(sentence.size())};
    text_ += sentence;
    text_ += "\r\n";
    return span;
  }
  std::string text_;
  std::vector<FixRecord> records_;
};

// A shell that records what it was asked to open, and from where.
class FakeShell : public Shell {
 public:
  explicit FakeShell(int result = kShellSuccess) : result(result) {}
  int OpenWithShell(const std::string& path) override {
    opened.push_back(path);
    folders.push_back(GetWorkingDirectory());
    fileExisted.push_back(std::filesystem::exists(path));
    return result;
  }
  int result;
  std::vector<std::string> opened;
  std::vector<std::string> folders;
  std::vector<bool> fileExisted;
};

// An in-memory key store whose operations can be made to fail one by one.
class FakeKeyStore : public KeyStore {
 public:
  struct Value {
    bool isDword = false;
    std::string bytes;  // as stored
  };
  using Key = std::map<std::string, Value>;

  std::unique_ptr<KeyStoreKey> CreateKey(const std::string& keyPath) override;

  std::map<std::string, Key> keys;
  bool createFails = false;
  bool setStringFails = false;
  bool setDwordFails = false;
  std::vector<std::string> queried;
  int openKeys = 0;
};

class FakeKey : public KeyStoreKey {
 public:
  FakeKey(FakeKeyStore& store, std::string path) : store_(store), path_(std::move(path)) { ++store_.openKeys; }
  ~FakeKey() override { --store_.openKeys; }
  bool SetString(const std::string& name, const std::string& value) override {
    if (store_.setStringFails) return false;
    store_.keys[path_][name] = {false, value + '\0'};
    return true;
  }
  bool SetDword(const std::string& name, std::uint32_t value) override {
    if (store_.setDwordFails) return false;
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    store_.keys[path_][name] = {true, bytes};
    return true;
  }
  std::optional<std::string> QueryValue(const std::string& name, std::size_t bufferSize) override {
    store_.queried.push_back(name);
    auto& key = store_.keys[path_];
    auto it = key.find(name);
    if (it == key.end() || it->second.bytes.size() > bufferSize) return std::nullopt;
    return it->second.bytes;
  }

 private:
  FakeKeyStore& store_;
  std::string path_;
};

inline std::unique_ptr<KeyStoreKey> FakeKeyStore::CreateKey(const std::string& keyPath) {
  if (createFails) return nullptr;
  keys[keyPath];
  return std::make_unique<FakeKey>(*this, keyPath);
}

// Message boxes owned by the Main Window, with the two captions the exports use.
inline ShownMessage Info(const std::string& text) { return {text, "Info", MessageButtons::kOk, true}; }
inline ShownMessage Api(const std::string& text) { return {text, "API-return", MessageButtons::kOk, true}; }

}  // namespace quillon::testing
