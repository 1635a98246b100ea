#include "orvex/SerialLine.h"

#include <windows.h>

#include <filesystem>

namespace quillon::orvex {
namespace {

constexpr DWORD kLineSpeed = CBR_115200;
// Bytes that follow one another closer than this belong to one answer.
constexpr DWORD kByteGapMs = 20;
constexpr DWORD kWriteLimitMs = 1000;
constexpr DWORD kPollStepMs = 5;

HANDLE AsHandle(void* handle) { return static_cast<HANDLE>(handle); }

// Bytes the driver holds for us; -1 when the line reports an error that
// leaves it unusable.
long WaitingBytes(HANDLE line) {
  DWORD errors = 0;
  COMSTAT status{};
  if (!::ClearCommError(line, &errors, &status)) return -1;
  return static_cast<long>(status.cbInQue);
}

}  // namespace

std::unique_ptr<SerialLine> SerialLine::Open(const std::string& path) {
  HANDLE line = ::CreateFileW(std::filesystem::path(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (line == INVALID_HANDLE_VALUE) return nullptr;
  DCB settings{};
  settings.DCBlength = sizeof settings;
  if (!::GetCommState(line, &settings)) {
    ::CloseHandle(line);
    return nullptr;
  }
  settings.BaudRate = kLineSpeed;
  settings.ByteSize = 8;
  settings.Parity = NOPARITY;
  settings.StopBits = ONESTOPBIT;
  settings.fBinary = TRUE;
  settings.fParity = FALSE;
  settings.fOutxCtsFlow = FALSE;
  settings.fOutxDsrFlow = FALSE;
  settings.fDtrControl = DTR_CONTROL_ENABLE;
  settings.fRtsControl = RTS_CONTROL_ENABLE;
  settings.fDsrSensitivity = FALSE;
  settings.fOutX = FALSE;
  settings.fInX = FALSE;
  settings.fErrorChar = FALSE;
  settings.fNull = FALSE;
  settings.fAbortOnError = FALSE;
  // Reads return what is there once the gap between bytes passes; Read
  // checks the waiting bytes before it reads, because Wine waits the whole
  // total timeout of the "return at once" setting.
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = kByteGapMs;
  timeouts.ReadTotalTimeoutConstant = kByteGapMs;
  timeouts.WriteTotalTimeoutConstant = kWriteLimitMs;
  if (!::SetCommState(line, &settings) || !::SetCommTimeouts(line, &timeouts)) {
    ::CloseHandle(line);
    return nullptr;
  }
  ::PurgeComm(line, PURGE_RXCLEAR | PURGE_TXCLEAR);
  return std::unique_ptr<SerialLine>(new SerialLine(line));
}

SerialLine::~SerialLine() { ::CloseHandle(AsHandle(handle_)); }

bool SerialLine::Write(const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    DWORD written = 0;
    // A write that fails (error 21 once the other end hung up) or takes
    // nothing within its timeout means the line is gone.
    if (!::WriteFile(AsHandle(handle_), data, static_cast<DWORD>(size), &written, nullptr) || written == 0) {
      return false;
    }
    data += written;
    size -= written;
  }
  return true;
}

SerialLine::ReadResult SerialLine::Read(std::uint8_t* data, std::size_t size, int timeoutMs) {
  const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(timeoutMs > 0 ? timeoutMs : 0);
  long waiting = 0;
  while ((waiting = WaitingBytes(AsHandle(handle_))) == 0) {
    if (::GetTickCount64() >= deadline) return {ReadStatus::kTimeout, 0};
    ::Sleep(kPollStepMs);
  }
  if (waiting < 0) return {ReadStatus::kHangup, 0};
  DWORD got = 0;
  if (!::ReadFile(AsHandle(handle_), data, static_cast<DWORD>(size), &got, nullptr)) {
    return {ReadStatus::kHangup, 0};
  }
  if (got == 0) return {ReadStatus::kTimeout, 0};
  return {ReadStatus::kData, got};
}

void SerialLine::DiscardInput() { ::PurgeComm(AsHandle(handle_), PURGE_RXCLEAR); }

}  // namespace quillon::orvex
