#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/HttpClient.h"
#include "platform/Utf8Path.h"

namespace quillon {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kMaxBodyBytes = std::size_t{16} << 20;
constexpr std::size_t kReadBytes = 64 * 1024;
// How long one wait for WinHTTP may last before the abort flag is looked at
// again: the cancel of a request that hears nothing takes at most this long.
constexpr auto kAbortPoll = std::chrono::milliseconds(50);
constexpr DWORD kMaxRedirects = 5;

std::wstring Wide(std::string_view text) { return Utf8Path(text).native(); }
std::string Narrow(const std::wstring& text) { return Utf8Text(std::filesystem::path(text)); }

bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

// What the status callback last reported. WinHTTP runs one operation of a
// request at a time, so one slot is enough: the requesting thread clears it,
// starts the operation and waits for the slot to fill.
//
// WinHTTP may call back after the requesting thread has given up (a raised
// abort flag, the total timeout): the request handle's context owns a
// reference to this object, which its HANDLE_CLOSING notification, the last
// one WinHTTP sends, gives up. The read buffer lives here for the same reason.
struct Exchange {
  std::mutex mutex;
  std::condition_variable changed;
  bool happened = false;
  DWORD status = 0;
  DWORD count = 0;  // bytes available or read
  DWORD error = 0;  // for REQUEST_ERROR
  // A redirect to a scheme other than http and https was seen. Windows'
  // WinHTTP refuses those itself; Wine's follows them as if they were paths
  // on the same server.
  bool foreignRedirect = false;
  std::vector<char> buffer = std::vector<char>(kReadBytes);
};
using ExchangeRef = std::shared_ptr<Exchange>;

// Whether a redirect's target (absolute, or relative to the request) stays
// with http or https.
bool HttpScheme(std::wstring_view target) {
  std::wstring scheme;
  for (const wchar_t c : target) {
    if (c == L':') return scheme.empty() || scheme == L"http" || scheme == L"https";
    const bool letter = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
    const bool other = (c >= L'0' && c <= L'9') || c == L'+' || c == L'-' || c == L'.';
    if (!letter && !(other && !scheme.empty())) return true;
    scheme += c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
  }
  return true;
}

void CALLBACK OnStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info, DWORD infoLength) {
  if (context == 0) return;
  auto* owner = reinterpret_cast<ExchangeRef*>(context);
  if (status == WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING) {
    delete owner;
    return;
  }
  Exchange& exchange = **owner;
  std::lock_guard lock(exchange.mutex);
  switch (status) {
    case WINHTTP_CALLBACK_STATUS_REDIRECT:
      if (!HttpScheme(static_cast<const wchar_t*>(info))) exchange.foreignRedirect = true;
      return;
    case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE:
    case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE:
      break;
    case WINHTTP_CALLBACK_STATUS_DATA_AVAILABLE:
      exchange.count = *static_cast<const DWORD*>(info);
      break;
    case WINHTTP_CALLBACK_STATUS_READ_COMPLETE:
      exchange.count = infoLength;
      break;
    case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR:
      exchange.error = static_cast<const WINHTTP_ASYNC_RESULT*>(info)->dwError;
      break;
    default:
      return;
  }
  exchange.status = status;
  exchange.happened = true;
  exchange.changed.notify_all();
}

HttpOutcome OutcomeOf(DWORD error) {
  switch (error) {
    case ERROR_WINHTTP_CANNOT_CONNECT:
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
      return HttpOutcome::kUnreachable;
    case ERROR_WINHTTP_TIMEOUT:
      return HttpOutcome::kTimedOut;
    case ERROR_WINHTTP_OPERATION_CANCELLED:
      return HttpOutcome::kCancelled;
    default:
      return HttpOutcome::kFailed;
  }
}

// WinHTTP's messages live in winhttp.dll, which not every system carries
// text for; the common ones are said here.
std::string ErrorText(DWORD error) {
  switch (error) {
    case ERROR_WINHTTP_CANNOT_CONNECT:
      return "could not connect";
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
      return "unknown host";
    case ERROR_WINHTTP_TIMEOUT:
      return "timed out";
    case ERROR_WINHTTP_CONNECTION_ERROR:
      return "the connection was reset";
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
      return "a broken answer";
    case ERROR_WINHTTP_REDIRECT_FAILED:
      return "a redirect that cannot be followed";
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
    case ERROR_WINHTTP_INVALID_URL:
      return "not an http or https URL";
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
      return "the secure connection failed";
    default:
      return "WinHTTP error " + std::to_string(error);
  }
}

struct HandleCloser {
  void operator()(HINTERNET handle) const { ::WinHttpCloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// A header of the final answer (all its lines, joined with ", "), "" when
// it had none.
std::string QueryHeader(HINTERNET request, DWORD which) {
  std::string joined;
  DWORD index = 0;
  for (;;) {
    DWORD bytes = 0;
    const DWORD previous = index;
    ::WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &bytes, &index);
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    index = previous;
    if (!::WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, value.data(), &bytes, &index)) break;
    value.resize(bytes / sizeof(wchar_t));
    if (!joined.empty()) joined += ", ";
    joined += Narrow(value);
    if (index == previous) break;
  }
  return joined;
}

// One GET, driven from the requesting thread: each asynchronous WinHTTP step
// is started here and its completion awaited in short slices, so that the
// abort flag and the total timeout end the request at once whatever WinHTTP
// is waiting for.
class Request {
 public:
  Request(HINTERNET session, const HttpRequest& request)
      : session_(session), asked_(request), deadline_(Clock::now() + request.totalTimeout),
        exchange_(std::make_shared<Exchange>()) {}

  HttpResponse Run() {
    if (Open() && Await([this] { return Send(); }) &&
        Await([this] { return ::WinHttpReceiveResponse(request_.get(), nullptr); }) && ReadHeaders()) {
      ReadBody();
    }
    Close();
    if (response_.outcome != HttpOutcome::kAnswered) response_.body.clear();
    return std::move(response_);
  }

 private:
  bool Fail(HttpOutcome outcome, std::string error) {
    response_.outcome = outcome;
    response_.error = std::move(error);
    return false;
  }
  bool FailWith(DWORD error) { return Fail(OutcomeOf(error), ErrorText(error)); }

  bool Open() {
    std::wstring url = Wide(asked_.url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!::WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts) ||
        (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)) {
      return Fail(HttpOutcome::kFailed, "not an http or https URL");
    }
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
    if (parts.dwExtraInfoLength != 0) path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    connection_.reset(::WinHttpConnect(session_, host.c_str(), parts.nPort, 0));
    if (!connection_) return FailWith(::GetLastError());
    request_.reset(::WinHttpOpenRequest(connection_.get(), L"GET", path.empty() ? L"/" : path.c_str(), nullptr,
                                               WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                               parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0));
    if (!request_) return FailWith(::GetLastError());

    // From here on the handle's context owns a reference to the exchange.
    auto* owner = new ExchangeRef(exchange_);
    context_ = reinterpret_cast<DWORD_PTR>(owner);
    if (!::WinHttpSetOption(request_.get(), WINHTTP_OPTION_CONTEXT_VALUE, &context_, sizeof context_)) {
      delete owner;
      return FailWith(::GetLastError());
    }
    if (::WinHttpSetStatusCallback(request_.get(), OnStatus,
                                   WINHTTP_CALLBACK_FLAG_ALL_COMPLETIONS | WINHTTP_CALLBACK_FLAG_REDIRECT | WINHTTP_CALLBACK_FLAG_HANDLES,
                                   0) == WINHTTP_INVALID_STATUS_CALLBACK) {
      // No callback, no HANDLE_CLOSING to give the reference up.
      const DWORD error = ::GetLastError();
      DWORD_PTR none = 0;
      ::WinHttpSetOption(request_.get(), WINHTTP_OPTION_CONTEXT_VALUE, &none, sizeof none);
      delete owner;
      return FailWith(error);
    }

    const auto milliseconds = [](std::chrono::milliseconds value) {
      return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(value.count(), 1, 0x7fffffff));
    };
    const int connect = milliseconds(std::min(asked_.connectTimeout, asked_.totalTimeout));
    const int total = milliseconds(asked_.totalTimeout);
    ::WinHttpSetTimeouts(request_.get(), connect, connect, total, total);
    // Redirects between http and https both ways, as many as libcurl follows
    // on Linux; other schemes WinHTTP does not follow at all.
    DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_ALWAYS;
    ::WinHttpSetOption(request_.get(), WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof policy);
    DWORD redirects = kMaxRedirects;
    ::WinHttpSetOption(request_.get(), WINHTTP_OPTION_MAX_HTTP_AUTOMATIC_REDIRECTS, &redirects, sizeof redirects);

    std::wstring headers;
    for (const auto& [name, value] : asked_.headers) {
      if (SameName(name, "User-Agent")) continue;
      headers += Wide(name + ": " + value) + L"\r\n";
    }
    if (!headers.empty() &&
        !::WinHttpAddRequestHeaders(request_.get(), headers.c_str(), static_cast<DWORD>(headers.size()),
                                    WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE)) {
      return FailWith(::GetLastError());
    }
    return true;
  }

  // The context is given again: sending sets the request's context.
  BOOL Send() {
    return ::WinHttpSendRequest(request_.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0,
                                context_);
  }

  bool Aborted() const { return asked_.abort && asked_.abort->load(); }

  // Starts one operation and waits for it; none is started once the abort
  // flag is up, so a request cancelled before it began asks nothing. The
  // slot is cleared first: the operation's completion may be reported before
  // the call that starts it returns.
  template <typename Call>
  bool Await(Call start) {
    if (Aborted()) return Fail(HttpOutcome::kCancelled, "cancelled");
    Arm();
    return Step(start());
  }

  void Arm() {
    std::lock_guard lock(exchange_->mutex);
    exchange_->happened = false;
    exchange_->status = 0;
    exchange_->count = 0;
    exchange_->error = 0;
  }

  // Waits for the operation just started (`started` is what its call
  // returned) and says whether it succeeded.
  bool Step(BOOL started) {
    if (!started) return FailWith(::GetLastError());
    std::unique_lock lock(exchange_->mutex);
    for (;;) {
      if (exchange_->happened) break;
      if (Aborted()) return Fail(HttpOutcome::kCancelled, "cancelled");
      const auto now = Clock::now();
      if (now >= deadline_) return Fail(HttpOutcome::kTimedOut, "no whole answer within the time allowed");
      exchange_->changed.wait_for(lock, std::min<Clock::duration>(kAbortPoll, deadline_ - now));
    }
    if (exchange_->status == WINHTTP_CALLBACK_STATUS_REQUEST_ERROR) {
      const DWORD error = exchange_->error;
      lock.unlock();
      return FailWith(error);
    }
    count_ = exchange_->count;
    return true;
  }

  bool ReadHeaders() {
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!::WinHttpQueryHeaders(request_.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX)) {
      return FailWith(::GetLastError());
    }
    response_.status = static_cast<int>(status);
    // A redirect still here is one WinHTTP would not follow (to another
    // scheme, or one too many); libcurl fails those too.
    const bool redirect = status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
    bool foreign = false;
    {
      std::lock_guard lock(exchange_->mutex);
      foreign = exchange_->foreignRedirect;
    }
    if (foreign || (redirect && !QueryHeader(request_.get(), WINHTTP_QUERY_LOCATION).empty())) {
      return Fail(HttpOutcome::kFailed, ErrorText(ERROR_WINHTTP_REDIRECT_FAILED));
    }
    const std::pair<DWORD, std::string*> fields[] = {
        {WINHTTP_QUERY_ETAG, &response_.etag},
        {WINHTTP_QUERY_LAST_MODIFIED, &response_.lastModified},
        {WINHTTP_QUERY_CACHE_CONTROL, &response_.cacheControl},
        {WINHTTP_QUERY_EXPIRES, &response_.expires},
        {WINHTTP_QUERY_DATE, &response_.date},
        {WINHTTP_QUERY_AGE, &response_.age},
        {WINHTTP_QUERY_CONTENT_TYPE, &response_.contentType}};
    for (const auto& [which, target] : fields) *target = QueryHeader(request_.get(), which);
    return true;
  }

  void ReadBody() {
    for (;;) {
      if (!Await([this] { return ::WinHttpQueryDataAvailable(request_.get(), nullptr); })) return;
      if (count_ == 0) break;
      const DWORD wanted = std::min<DWORD>(count_, static_cast<DWORD>(kReadBytes));
      if (!Await([&] { return ::WinHttpReadData(request_.get(), exchange_->buffer.data(), wanted, nullptr); })) return;
      if (count_ == 0) break;
      if (response_.body.size() + count_ > kMaxBodyBytes) {
        Fail(HttpOutcome::kFailed, "the answer is larger than 16 MB");
        return;
      }
      response_.body.append(exchange_->buffer.data(), count_);
    }
    response_.outcome = HttpOutcome::kAnswered;
  }

  // Closing the request handle also cancels whatever WinHTTP still does for
  // it; its late notifications find the exchange alive (see Exchange).
  void Close() {
    request_.reset();
    connection_.reset();
  }

  HINTERNET session_;
  const HttpRequest& asked_;
  const Clock::time_point deadline_;
  ExchangeRef exchange_;
  Handle connection_;
  Handle request_;
  DWORD_PTR context_ = 0;
  DWORD count_ = 0;
  HttpResponse response_;
};

// One asynchronous WinHTTP session for all requests: it keeps the open
// connections, so the next request to the same server reuses one. WinHTTP's
// handles may be used from several threads at once.
class WinHttpClient : public HttpClient {
 public:
  explicit WinHttpClient(const std::string& userAgent)
      : session_(::WinHttpOpen(Wide(userAgent).c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                               WINHTTP_NO_PROXY_BYPASS, WINHTTP_FLAG_ASYNC)) {}

  HttpResponse Get(const HttpRequest& request) override {
    if (!session_) {
      HttpResponse response;
      response.error = "the HTTP library could not start";
      return response;
    }
    return Request(session_.get(), request).Run();
  }

 private:
  Handle session_;
};

}  // namespace

std::unique_ptr<HttpClient> MakeHttpClient(const std::string& userAgent) {
  return std::make_unique<WinHttpClient>(userAgent);
}

}  // namespace quillon
