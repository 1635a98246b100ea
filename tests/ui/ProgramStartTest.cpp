// The Quillon program itself, started as a user starts it: without the device
// library it says so once and ends; the screenshot hook saves the Main Window
// or fails the run.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include <gtest/gtest.h>
#include <wx/image.h>

#include "tests/support/Environment.h"
#include "tests/support/ProgramRun.h"
#include "tests/ui/UiTestSupport.h"

namespace quillon::uitest {
namespace {

namespace fs = std::filesystem;

// Sets an environment variable for the programs a test starts.
class EnvironmentScope {
 public:
  EnvironmentScope(const char* name, const std::string& value)
      : name_(name), saved_(testing::SavedEnvironment(name)) {
    testing::SetEnvironment(name, value.c_str());
  }
  ~EnvironmentScope() { testing::RestoreEnvironment(name_, saved_); }
  EnvironmentScope(const EnvironmentScope&) = delete;
  EnvironmentScope& operator=(const EnvironmentScope&) = delete;

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int RunQuillon(const RunFolder& folder) {
  const fs::path streams = fs::path(folder.Path());
  return RunProgram({QUILLON_BINARY}, streams / "program.out", streams / "program.err");
}

TEST(StartUpTest, WithoutTheLibraryTheProgramShowsOneMessageAndEndsWithZero) {
  RunFolder folder(false, true);
  const fs::path log = fs::path(folder.Path()) / "messages.txt";
  EnvironmentScope messages("QUILLON_MESSAGE_LOG", log.string());
  EXPECT_EQ(RunQuillon(folder), 0);
  EXPECT_EQ(ReadAll(log), "API-return\tORVEX_DLL.dll not find\townerless\n");
}

TEST(StartUpTest, ScreenshotHookSavesTheMainWindowOrFailsTheRun) {
  RunFolder folder(true, true);
  EnvironmentScope messages("QUILLON_MESSAGE_LOG", (fs::path(folder.Path()) / "messages.txt").string());
  EnvironmentScope closing("QUILLON_EXIT_AFTER_SCREENSHOT", "1");
  {
    const fs::path png = fs::path(folder.Path()) / "shot.png";
    EnvironmentScope shot("QUILLON_SCREENSHOT", png.string());
    ASSERT_EQ(RunQuillon(folder), 0) << ReadAll(fs::path(folder.Path()) / "program.err");
    wxImage image;
    ASSERT_TRUE(image.LoadFile(png.string(), wxBITMAP_TYPE_PNG));
    EXPECT_GT(image.GetWidth(), 500);
    // The background is the dialog colour.
    EXPECT_EQ(PixelAt(image, 2, image.GetHeight() - 2), (ui::Rgb{188, 197, 230}));
    // mingw's copy_file does not overwrite: the earlier picture goes first.
    const std::string kept = ScreenshotPath("main_window_program");
    fs::remove(kept);
    fs::copy_file(png, kept);
  }
  {
    const fs::path nowhere = fs::path(folder.Path()) / "no such folder" / "shot.png";
    EnvironmentScope shot("QUILLON_SCREENSHOT", nowhere.string());
    EXPECT_EQ(RunQuillon(folder), 1) << "a picture that could not be saved fails the run";
    EXPECT_FALSE(fs::exists(nowhere));
  }
}

}  // namespace
}  // namespace quillon::uitest
