#include "tests/orvex/EmulatorProcess.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace quillon::orvex::testing {

EmulatorProcess::EmulatorProcess(const std::filesystem::path& portDir, int com,
                                 const std::vector<std::string>& extraArguments) {
  std::vector<std::string> arguments = {QUILLON_ORVEX_EMULATOR, "--port-dir", portDir.string(), "--com",
                                        std::to_string(com)};
  arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return;
  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(pipeFds[1], STDOUT_FILENO);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(pipeFds[1]);
  output_ = pipeFds[0];
  // The ready line, within a generous bound (a full memory takes a moment to fill).
  char c;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  std::string line;
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd pfd{output_, POLLIN, 0};
    if (::poll(&pfd, 1, 100) <= 0) continue;
    if (::read(output_, &c, 1) != 1) break;
    if (c == '\n') {
      readyLine_ = line;
      break;
    }
    line += c;
  }
}

EmulatorProcess::~EmulatorProcess() {
  Stop();
  if (output_ >= 0) ::close(output_);
}

int EmulatorProcess::WaitForExit(int timeoutMs) {
  if (pid_ <= 0) return -1;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int status = 0;
    pid_t done = ::waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      pid_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    if (std::chrono::steady_clock::now() > deadline) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

int EmulatorProcess::Stop() {
  if (pid_ <= 0) return -1;
  ::kill(pid_, SIGCONT);
  ::kill(pid_, SIGTERM);
  int status = WaitForExit(3000);
  if (status < 0 && pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  return status;
}

}  // namespace quillon::orvex::testing
