#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "api/DeviceCodes.h"
#include "tests/orvex/OrvexTestSupport.h"

namespace quillon::orvex::testing {
namespace {

namespace fs = std::filesystem;

// Another program's terminal, as a shell or an editor holds it: a
// pseudo-terminal in its default cooked mode, echo and line editing on.
class ForeignTerminal {
 public:
  ForeignTerminal() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[256];
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
        ::ptsname_r(master_, name, sizeof name) != 0) {
      return;
    }
    path_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  }
  ~ForeignTerminal() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
  }
  ForeignTerminal(const ForeignTerminal&) = delete;
  ForeignTerminal& operator=(const ForeignTerminal&) = delete;

  bool Open() const { return slave_ >= 0; }
  const std::string& Path() const { return path_; }
  termios Settings() const {
    termios tio{};
    ::tcgetattr(slave_, &tio);
    return tio;
  }
  // What was written into the terminal, as its program would see it on screen.
  std::size_t BytesShown() const {
    char buffer[4096];
    std::size_t total = 0;
    ssize_t got;
    while ((got = ::read(master_, buffer, sizeof buffer)) > 0) total += static_cast<std::size_t>(got);
    return total;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string path_;
};

void ExpectSameSettings(const termios& before, const termios& after) {
  EXPECT_EQ(after.c_iflag, before.c_iflag);
  EXPECT_EQ(after.c_oflag, before.c_oflag);
  EXPECT_EQ(after.c_cflag, before.c_cflag);
  EXPECT_EQ(after.c_lflag, before.c_lflag);
  EXPECT_EQ(std::memcmp(after.c_cc, before.c_cc, sizeof before.c_cc), 0);
  EXPECT_NE(after.c_lflag & ECHO, 0u) << "echo was switched off";
  EXPECT_NE(after.c_lflag & ICANON, 0u) << "line editing was switched off";
}

using ForeignTerminalTest = OrvexFixture;

TEST_F(ForeignTerminalTest, PortThatIsNoLoggerGetsItsSettingsBack) {
  ForeignTerminal terminal;
  ASSERT_TRUE(terminal.Open());
  // Published by a process that runs (this one), so the library has to ask.
  fs::create_symlink(terminal.Path(), portDir / "COM3");
  std::ofstream(portDir / "COM3.pid") << ::getpid() << '\n';
  const termios before = terminal.Settings();

  EXPECT_EQ(Orvex().intoDumpMode(3), code::kNotIntoDumpMode);
  ExpectSameSettings(before, terminal.Settings());
  int port = -1;
  EXPECT_EQ(Orvex().autoIntoDumpMode(&port), code::kNotIntoDumpMode);
  ExpectSameSettings(before, terminal.Settings());

  fs::remove(portDir / "COM3");
  fs::remove(portDir / "COM3.pid");
}

TEST_F(ForeignTerminalTest, LinkOfAKilledEmulatorIsNotTrusted) {
  auto& emulator = StartEmulator(3);
  ::kill(emulator.Pid(), SIGKILL);
  ASSERT_EQ(emulator.WaitForExit(3000), 128 + SIGKILL);
  ASSERT_TRUE(fs::is_symlink(portDir / "COM3")) << "a killed emulator cannot take its link away";
  ASSERT_TRUE(fs::exists(portDir / "COM3.pid"));

  // Its terminal number goes to the next program that opens a terminal; make
  // sure the link names that terminal whichever number it got.
  ForeignTerminal terminal;
  ASSERT_TRUE(terminal.Open());
  if (fs::read_symlink(portDir / "COM3") != fs::path(terminal.Path())) {
    fs::remove(portDir / "COM3");
    fs::create_symlink(terminal.Path(), portDir / "COM3");
  }
  const termios before = terminal.Settings();

  int port = -1;
  EXPECT_EQ(Orvex().autoIntoDumpMode(&port), code::kComPortOpenError);
  EXPECT_EQ(port, -1);
  EXPECT_EQ(Orvex().intoDumpMode(3), code::kComPortOpenError);
  ExpectSameSettings(before, terminal.Settings());
  EXPECT_EQ(terminal.BytesShown(), 0u) << "frames were written into another program's terminal";

  fs::remove(portDir / "COM3");
  fs::remove(portDir / "COM3.pid");
}

}  // namespace
}  // namespace quillon::orvex::testing
