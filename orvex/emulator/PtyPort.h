#pragma once

#include <csignal>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quillon::orvex {

// The logger's end of the line: a pseudo-terminal whose slave is published as
// DIR/COMn, a symbolic link, as a USB virtual COM port would appear. Beside it
// DIR/COMn.pid holds our process id, so that a link left behind by an emulator
// that was killed is known to be stale. The emulator keeps a slave descriptor
// of its own so the line survives the library closing and reopening it.
class PtyPort {
 public:
  // Null with `error` set when the pseudo-terminal or the link cannot be made.
  static std::unique_ptr<PtyPort> Create(const std::string& portDir, int com, std::string& error);
  ~PtyPort();
  PtyPort(const PtyPort&) = delete;
  PtyPort& operator=(const PtyPort&) = delete;

  const std::string& LinkPath() const { return linkPath_; }
  const std::string& DevicePath() const { return devicePath_; }
  int Fd() const { return master_; }

  // Sends the bytes, at `baud` bits per second (ten bits a byte) when it is
  // above 0. Gives up when the other side takes nothing for two seconds or
  // `stop` is raised.
  void Send(const std::vector<std::uint8_t>& bytes, int baud, const volatile std::sig_atomic_t& stop);
  // Writes what the line takes at once and drops the rest: a device that
  // streams on its own does not wait for anyone to listen.
  void Stream(const std::string& text);
  // Pulls the cable: closes both ends and removes the link.
  void Unplug();

 private:
  PtyPort() = default;
  void RemoveLink();
  void RemovePidFile();

  int master_ = -1;
  int slave_ = -1;
  std::string devicePath_;
  std::string linkPath_;
  std::string pidPath_;
};

}  // namespace quillon::orvex
