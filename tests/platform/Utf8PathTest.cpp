#include "platform/Utf8Path.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/AtomicFileReplace.h"
#include "platform/FileBytes.h"
#include "platform/WorkingDirectory.h"
#include "tests/platform/WorkingDirectoryTestSupport.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

// Names a Western PC's ANSI code page cannot spell, one it can, and plain
// ASCII; each as UTF-8 text and as the path the standard library makes of
// the same characters given as char8_t, an independent spelling.
struct Name {
  std::string text;
  fs::path expected;
};

std::vector<Name> Names() {
  return {
      {"\xd0\xa4\xd0\xbe\xd1\x82\xd0\xbe \xe5\x86\x99\xe7\x9c\x9f", fs::path(u8"Фото 写真")},
      {"\xc3\x96lfeld", fs::path(u8"Ölfeld")},
      {"plain", fs::path(u8"plain")},
  };
}

TEST(Utf8PathTest, FoldersAndFilesWithAnyNameAreMadeFoundReadAndReplaced) {
  testing::TempFolder temp;
  const std::string start = GetWorkingDirectory();
  for (const Name& name : Names()) {
    SCOPED_TRACE(name.text);
    EXPECT_EQ(Utf8Path(name.text), name.expected);
    EXPECT_EQ(Utf8Text(name.expected), name.text);

    // A working folder of that name, made, entered and read back.
    const std::string folder = Utf8Text(temp.Path()) + "/" + name.text;
    ASSERT_TRUE(CreateFolder(folder));
    EXPECT_TRUE(fs::is_directory(temp.Path() / name.expected));
    ASSERT_TRUE(SetWorkingDirectory(folder));
    EXPECT_EQ(Utf8Path(GetWorkingDirectory()).filename(), name.expected);

    // A file of that name in it, written in one step, then replaced.
    const std::string file = name.text + ".txt";
    for (const char* content : {"first\n", "second, longer\n"}) {
      ASSERT_TRUE(WriteFileAtomically(file, [&](std::ostream& out) { out << content; }));
      std::shared_ptr<const std::string_view> bytes;
      ASSERT_EQ(ReadFileBytes(file, 1000, bytes), FileBytesOutcome::kRead);
      EXPECT_EQ(*bytes, content);
    }
    std::vector<std::string> listed;
    for (const fs::directory_entry& entry : fs::directory_iterator(".")) listed.push_back(Utf8Text(entry.path().filename()));
    EXPECT_EQ(listed, std::vector<std::string>{file}) << "no temporary file left, the name as given";

    std::FILE* opened = OpenUtf8File(file, "rb");
    ASSERT_NE(opened, nullptr);
    std::fclose(opened);
    std::unique_ptr<PositionalFile> positional;
    ASSERT_EQ(OpenPositionalFile(file, 1000, positional), FileBytesOutcome::kRead);
    EXPECT_EQ(positional->Size(), 15u);
  }
  ASSERT_TRUE(SetWorkingDirectory(start));
}

}  // namespace
}  // namespace quillon
