// orvex-emulator: plays the ORVEX logger on a pseudo-terminal for the
// stand-in device library. See docs/wire-protocol.md and the usage text.
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>

#include "orvex/NmeaRenderer.h"
#include "orvex/emulator/EmulatorOptions.h"
#include "orvex/emulator/LoggerEmulator.h"
#include "orvex/emulator/PtyPort.h"
#include "orvex/emulator/SyntheticTrack.h"
#include "orvex/emulator/TrackFileReader.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

// A GPS mouse at 9600 baud sends about this much: one fix every 100 ms keeps
// the line busier than any pause the library waits for.
constexpr auto kChatterEvery = std::chrono::milliseconds(100);

void OnStopSignal(int) { stopRequested = 1; }

void InstallStopHandlers() {
  struct sigaction action{};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace quillon::orvex;
  std::string error;
  auto options = ParseEmulatorOptions(argc, argv, error);
  if (!options) {
    std::fprintf(stderr, "orvex-emulator: %s\n%s", error.c_str(), kEmulatorUsage);
    return 2;
  }
  std::vector<LoggerFix> fixes;
  if (!options->trackFile.empty()) {
    if (!ReadTrackFile(options->trackFile, fixes, error)) {
      std::fprintf(stderr, "orvex-emulator: %s\n", error.c_str());
      return 1;
    }
  } else {
    fixes = SyntheticTrack(options->fixes);
  }
  if (fixes.size() > kRecordCapacity) {
    std::fprintf(stderr, "orvex-emulator: memory holds %u fixes; the rest are dropped\n", kRecordCapacity);
  }

  InstallStopHandlers();
  LoggerEmulator logger(*options, fixes);
  auto port = PtyPort::Create(options->portDir, options->com, error);
  if (!port) {
    std::fprintf(stderr, "orvex-emulator: %s\n", error.c_str());
    return 1;
  }
  std::printf("orvex-emulator ready on %s -> %s (%u bytes used)\n", port->LinkPath().c_str(),
              port->DevicePath().c_str(), logger.UsedBytes());
  std::fflush(stdout);

  FrameDecoder decoder;
  std::uint8_t buffer[8192];
  auto nextChatter = std::chrono::steady_clock::now();
  std::size_t chatterFix = 0;
  while (!stopRequested) {
    if (options->chatty && !fixes.empty() && std::chrono::steady_clock::now() >= nextChatter) {
      std::string text;
      RenderFix(fixes[chatterFix++ % fixes.size()], false, text);
      port->Stream(text);
      nextChatter += kChatterEvery;
    }
    pollfd pfd{port->Fd(), POLLIN, 0};
    int ready = ::poll(&pfd, 1, options->chatty ? 20 : 200);
    if (ready <= 0) continue;
    ssize_t got = ::read(port->Fd(), buffer, sizeof buffer);
    if (got <= 0) {
      if (got < 0 && (errno == EAGAIN || errno == EINTR || errno == EIO)) {
        // EIO: no slave open for a moment; wait for the next request.
        if (errno == EIO) ::poll(nullptr, 0, 50);
        continue;
      }
      break;
    }
    if (options->noAnswer || options->chatty) continue;
    decoder.Append(buffer, static_cast<std::size_t>(got));
    Frame request;
    FrameDecoder::Event event;
    while ((event = decoder.Next(request)) != FrameDecoder::Event::kNone) {
      // A damaged request goes unanswered; the library asks again.
      if (event != FrameDecoder::Event::kFrame) continue;
      auto reply = logger.Handle(request);
      port->Send(reply.bytes, options->baud, stopRequested);
      if (reply.unplugAfterSending) {
        port->Unplug();
        std::printf("orvex-emulator unplugged\n");
        std::fflush(stdout);
        return 0;
      }
    }
  }
  return 0;
}
