#include "tests/ui/EmulatorRig.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/KeyStore.h"
#include "platform/Shell.h"
#include "ui/SettingsDialog.h"

namespace quillon::uitest {

namespace fs = std::filesystem;

EmulatorProcess::EmulatorProcess(int com, const std::vector<std::string>& options)
    : link_("ports/COM" + std::to_string(com)) {
  fs::create_directories("ports");
  std::vector<std::string> words = {QUILLON_EMULATOR, "--port-dir", "ports", "--com", std::to_string(com)};
  words.insert(words.end(), options.begin(), options.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  pid_ = fork();
  if (pid_ == 0) {
    int log = open("emulator.log", O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (log >= 0) {
      dup2(log, STDOUT_FILENO);
      dup2(log, STDERR_FILENO);
    }
    execv(argv[0], argv.data());
    _exit(127);
  }
  for (int i = 0; i < 150 && !Ready(); ++i) Pump(20);
}

EmulatorProcess::~EmulatorProcess() {
  if (pid_ <= 0 || reaped_) return;
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
}

bool EmulatorProcess::Ready() const { return fs::exists(link_); }

bool EmulatorProcess::ExitsWithin(int milliseconds) {
  for (int waited = 0; !reaped_ && pid_ > 0; waited += 10) {
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
      reaped_ = true;
    } else if (waited >= milliseconds) {
      break;
    } else {
      Pump(10);
    }
  }
  return reaped_;
}

LoggerSession::LoggerSession(int com, const std::vector<std::string>& emulatorOptions)
    : emulator(com, emulatorOptions), router(ownerless, MakeSystemShell(), MakeUserKeyStore()),
      window(router.State(), router) {
  router.SetSettingsDialogRunner([this] {
    if (router.Library() == nullptr) return;
    ui::SettingsDialog dialog(&window, router.State(), *router.Library(), router.Ownerless());
    dialog.ShowModal();
  });
}

DialogVisit::DialogVisit(const wxString& title, std::function<void(ui::ViewDialog&)> visit)
    : title_(title), visit_(std::move(visit)) {
  Start(50);
}

DialogVisit::~DialogVisit() { Stop(); }

// A timer rather than a queued call: the dialog's opening runs progress
// windows with modal loops of their own, and the visit must wait for the
// dialog's loop without blocking theirs.
void DialogVisit::Notify() {
  if (running_ || visited_) return;
  auto* dialog = dynamic_cast<ui::ViewDialog*>(FindDialog(title_));
  if (dialog == nullptr || !dialog->IsModal() || !dialog->IsShownOnScreen()) return;
  running_ = true;
  Stop();
  Pump(150);
  visit_(*dialog);
  if (dialog->IsModal()) dialog->EndModal(wxID_CANCEL);
  visited_ = true;
  running_ = false;
}

}  // namespace quillon::uitest
