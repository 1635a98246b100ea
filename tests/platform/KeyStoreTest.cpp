#include "platform/KeyStore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "tests/platform/WorkingDirectoryTestSupport.h"
#include "tests/support/Environment.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

constexpr char kKey[] = "Software\\locr\\LocrClient";

class KeyStoreTest : public ::testing::Test {
 protected:
  fs::path StorePath() const { return temp_.Path() / "quillon" / "registry.ini"; }
  testing::TempFolder temp_;
};

TEST_F(KeyStoreTest, CreatesTheKeyAndKeepsTypedValues) {
  IniKeyStore store(StorePath().string());
  auto key = store.CreateKey(kKey);
  ASSERT_TRUE(key);
  EXPECT_TRUE(fs::exists(StorePath()));
  EXPECT_TRUE(key->SetString("DirectoryGpsFile", "/home/me/tools/locr"));
  EXPECT_TRUE(key->SetDword("LoadFilesAtStartup", 1));
  EXPECT_TRUE(key->SetDword("Big", 4294967295u));

  EXPECT_EQ(key->QueryValue("DirectoryGpsFile", 256), std::string("/home/me/tools/locr") + '\0');
  EXPECT_EQ(key->QueryValue("LoadFilesAtStartup", 256), std::string("\x01\x00\x00\x00", 4));
  EXPECT_EQ(key->QueryValue("Big", 4), std::string("\xFF\xFF\xFF\xFF", 4));
  EXPECT_EQ(key->QueryValue("ExecutionFile", 256), std::nullopt);

  const std::string text = testing::ReadFileBytes(StorePath());
  EXPECT_NE(text.find("[Software\\locr\\LocrClient]\n"
                      "DirectoryGpsFile=REG_SZ:/home/me/tools/locr\n"
                      "LoadFilesAtStartup=REG_DWORD:1\n"
                      "Big=REG_DWORD:4294967295\n"),
            std::string::npos)
      << text;
}

TEST_F(KeyStoreTest, QueryRespectsTheBufferSize) {
  IniKeyStore store(StorePath().string());
  auto key = store.CreateKey(kKey);
  ASSERT_TRUE(key);
  const std::string fits(255, 'a');
  ASSERT_TRUE(key->SetString("ExecutionFile", fits));
  EXPECT_EQ(key->QueryValue("ExecutionFile", 256), fits + '\0');
  ASSERT_TRUE(key->SetString("ExecutionFile", fits + "b"));
  EXPECT_EQ(key->QueryValue("ExecutionFile", 256), std::nullopt);
  EXPECT_EQ(key->QueryValue("LoadFilesAtStartup", 3), std::nullopt);
}

TEST_F(KeyStoreTest, ValuesSurviveAnotherStoreObjectAndKeepTheirText) {
  const std::string awkward = "C:\\Tools\\Logger\\Locr\nsecond line\r= [x]";
  {
    IniKeyStore store(StorePath().string());
    auto key = store.CreateKey(kKey);
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->SetString("DirectoryPhotos", awkward));
    ASSERT_TRUE(key->SetString("DirectoryPhotos", awkward));  // replaced, not added
  }
  IniKeyStore again(StorePath().string());
  auto key = again.CreateKey("software\\LOCR\\locrclient");
  ASSERT_TRUE(key);
  EXPECT_EQ(key->QueryValue("directoryphotos", 256), awkward + '\0');
  const std::string text = testing::ReadFileBytes(StorePath());
  EXPECT_EQ(text.find("DirectoryPhotos"), text.rfind("DirectoryPhotos"));
}

TEST_F(KeyStoreTest, ReadsValuesWrittenByHandAndKeepsOtherLines) {
  fs::create_directories(StorePath().parent_path());
  testing::WriteFileBytes(StorePath(),
                          "; my notes\r\n"
                          "[Software\\locr\\LocrClient]\r\n"
                          "# a comment\r\n"
                          "ExecutionFile=REG_EXPAND_SZ:/opt/locr/client\r\n"
                          "Raw=REG_BINARY:41420043\r\n"
                          "Odd=REG_MULTI_SZ:keep me\r\n"
                          "not a value line\r\n"
                          "[Other\\Key]\r\n"
                          "Kept=REG_DWORD:7\r\n");
  IniKeyStore store(StorePath().string());
  auto key = store.CreateKey(kKey);
  ASSERT_TRUE(key);
  EXPECT_EQ(key->QueryValue("ExecutionFile", 256), std::string("/opt/locr/client") + '\0');
  EXPECT_EQ(key->QueryValue("Raw", 256), std::string("AB\0C", 4));
  ASSERT_TRUE(key->SetDword("LoadFilesAtStartup", 1));

  const std::string text = testing::ReadFileBytes(StorePath());
  for (const char* kept : {"; my notes\n", "# a comment\n", "Odd=REG_MULTI_SZ:keep me\n", "not a value line\n",
                           "[Other\\Key]\nKept=REG_DWORD:7\n", "LoadFilesAtStartup=REG_DWORD:1\n"}) {
    EXPECT_NE(text.find(kept), std::string::npos) << kept;
  }
}

TEST_F(KeyStoreTest, UnwritableStoreRefusesTheKey) {
  testing::WriteFileBytes(temp_.Path() / "file", "");
  IniKeyStore store((temp_.Path() / "file" / "registry.ini").string());
  EXPECT_EQ(store.CreateKey(kKey), nullptr);

  fs::create_directories(StorePath());  // a folder in the file's place
  IniKeyStore folderStore(StorePath().string());
  EXPECT_EQ(folderStore.CreateKey(kKey), nullptr);
}

TEST_F(KeyStoreTest, StoreThatBecomesUnwritableFailsTheSetAndKeepsTheOldFile) {
  IniKeyStore store(StorePath().string());
  auto key = store.CreateKey(kKey);
  ASSERT_TRUE(key);
  ASSERT_TRUE(key->SetDword("LoadFilesAtStartup", 1));
  const std::string before = testing::ReadFileBytes(StorePath());
  // The file is replaced through a temporary file next to it; a folder in
  // that place makes the replacement impossible.
  fs::remove(StorePath());
  fs::create_directories(StorePath() / "x");
  EXPECT_FALSE(key->SetDword("LoadFilesAtStartup", 2));
  fs::remove_all(StorePath());
  testing::WriteFileBytes(StorePath(), before);
  EXPECT_EQ(key->QueryValue("LoadFilesAtStartup", 256), std::string("\x01\0\0\0", 4));
  EXPECT_EQ(std::distance(fs::directory_iterator(StorePath().parent_path()), fs::directory_iterator()), 1);
}

TEST_F(KeyStoreTest, StoreReachedThroughALinkStaysLinked) {
  const fs::path real = temp_.Path() / "dotfiles" / "registry.ini";
  fs::create_directories(real.parent_path());
  fs::create_directories(StorePath().parent_path());
  testing::WriteFileBytes(real, "");
  std::error_code linkError;
  fs::create_symlink(real, StorePath(), linkError);
  if (linkError) GTEST_SKIP() << "no symbolic links here: " << linkError.message();
  IniKeyStore store(StorePath().string());
  auto key = store.CreateKey(kKey);
  ASSERT_TRUE(key);
  ASSERT_TRUE(key->SetDword("LoadFilesAtStartup", 1));
  EXPECT_TRUE(fs::is_symlink(StorePath()));
  EXPECT_NE(testing::ReadFileBytes(real).find("LoadFilesAtStartup=REG_DWORD:1"), std::string::npos);
}

TEST_F(KeyStoreTest, NamesThatCannotBeStoredAreRefused) {
  IniKeyStore store(StorePath().string());
  EXPECT_EQ(store.CreateKey("Bad]Key"), nullptr);
  EXPECT_EQ(store.CreateKey(""), nullptr);
  auto key = store.CreateKey(kKey);
  ASSERT_TRUE(key);
  EXPECT_FALSE(key->SetString("a=b", "x"));
  EXPECT_FALSE(key->SetDword("line\nbreak", 1));
}

TEST(DefaultKeyStorePathTest, FollowsXdgConfigHome) {
#ifdef _WIN32
  GTEST_SKIP() << "the locr client's settings live in the registry here";
#endif
  const std::optional<std::string> savedXdg = testing::SavedEnvironment("XDG_CONFIG_HOME");
  const std::optional<std::string> savedHome = testing::SavedEnvironment("HOME");

  testing::SetEnvironment("HOME", "/home/tester");
  testing::SetEnvironment("XDG_CONFIG_HOME", "/tmp/xdg");
  EXPECT_EQ(fs::path(DefaultKeyStorePath()), fs::path("/tmp/xdg/quillon/registry.ini"));
  testing::SetEnvironment("XDG_CONFIG_HOME", "relative/path");
  EXPECT_EQ(fs::path(DefaultKeyStorePath()), fs::path("/home/tester/.config/quillon/registry.ini"));
  testing::UnsetEnvironment("XDG_CONFIG_HOME");
  EXPECT_EQ(fs::path(DefaultKeyStorePath()), fs::path("/home/tester/.config/quillon/registry.ini"));

  testing::RestoreEnvironment("XDG_CONFIG_HOME", savedXdg);
  testing::RestoreEnvironment("HOME", savedHome);
}

}  // namespace
}  // namespace quillon
