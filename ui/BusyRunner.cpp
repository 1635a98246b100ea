#include "ui/BusyRunner.h"

#include <chrono>
#include <exception>
#include <future>
#include <mutex>
#include <thread>

#include <wx/dialog.h>
#include <wx/gauge.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/timer.h>

#include "ui/DialogLook.h"

namespace quillon::ui {

namespace {

constexpr auto kQuickWork = std::chrono::milliseconds(150);

class ProgressDialog : public wxDialog {
 public:
  ProgressDialog(wxWindow* owner, const std::string& what, const std::function<std::string()>& report)
      : wxDialog(owner, wxID_ANY, "GPS Data Logger - Working", wxDefaultPosition, wxDefaultSize, wxCAPTION),
        report_(report),
        timer_(this),
        started_(std::chrono::steady_clock::now()) {
    ApplyDialogLook(this);
    auto* text = new wxStaticText(this, wxID_ANY, wxString::FromUTF8(what.empty() ? "Working..." : what));
    ApplyTextColours(text);
    elapsed_ = new wxStaticText(this, wxID_ANY, "Elapsed time: 0:00");
    ApplyTextColours(elapsed_);
    gauge_ = new wxGauge(this, wxID_ANY, 100, wxDefaultPosition, FromDIP(wxSize(260, 12)));

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(text, 0, wxLEFT | wxRIGHT | wxTOP, 18);
    column->Add(gauge_, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 18);
    if (report_) {
      received_ = new wxStaticText(this, wxID_ANY, wxString::FromUTF8(report_()));
      ApplyTextColours(received_);
      column->Add(received_, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 18);
    }
    column->Add(elapsed_, 0, wxALL, 18);
    SetSizerAndFit(column);
    CentreOnParent();

    // The work cannot be stopped halfway, so nothing closes this window but
    // the end of the work.
    Bind(wxEVT_CLOSE_WINDOW, [](wxCloseEvent& event) {
      if (event.CanVeto()) event.Veto();
    });
    Bind(wxEVT_CHAR_HOOK, [](wxKeyEvent& event) {
      if (event.GetKeyCode() != WXK_ESCAPE) event.Skip();
    });
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Tick(); });
    timer_.Start(200);
  }

  void Finish() {
    timer_.Stop();
    if (IsModal()) EndModal(wxID_OK);
  }

 private:
  void Tick() {
    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started_).count();
    elapsed_->SetLabel(wxString::Format("Elapsed time: %d:%02d", static_cast<int>(seconds / 60),
                                        static_cast<int>(seconds % 60)));
    gauge_->Pulse();
    if (received_ != nullptr) received_->SetLabel(wxString::FromUTF8(report_()));
  }

  std::function<std::string()> report_;

  wxTimer timer_;
  std::chrono::steady_clock::time_point started_;
  wxStaticText* elapsed_ = nullptr;
  wxGauge* gauge_ = nullptr;
  wxStaticText* received_ = nullptr;
};

}  // namespace

void RunBusyWithProgress(wxWindow* owner, const std::string& what, const std::function<void()>& work,
                         const std::function<std::string()>& report) {
  std::promise<void> outcome;
  std::future<void> finished = outcome.get_future();
  ProgressDialog* dialog = nullptr;
  std::mutex dialogMutex;

  std::thread worker([&] {
    try {
      work();
      outcome.set_value();
    } catch (...) {
      outcome.set_exception(std::current_exception());
    }
    std::lock_guard<std::mutex> lock(dialogMutex);
    if (dialog != nullptr) dialog->CallAfter([dialog] { dialog->Finish(); });
  });

  if (finished.wait_for(kQuickWork) != std::future_status::ready) {
    ProgressDialog progress(owner, what, report);
    {
      std::lock_guard<std::mutex> lock(dialogMutex);
      dialog = &progress;
    }
    if (finished.wait_for(std::chrono::seconds(0)) != std::future_status::ready) progress.ShowModal();
    std::lock_guard<std::mutex> lock(dialogMutex);
    dialog = nullptr;
  }
  worker.join();
  finished.get();
}

}  // namespace quillon::ui
