#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace quillon {

struct HttpRequest {
  std::string url;
  // Sent as given ("If-None-Match", "Referer", ...). The User-Agent is the
  // client's own and cannot be set here.
  std::vector<std::pair<std::string, std::string>> headers;
  std::chrono::milliseconds connectTimeout{10000};
  std::chrono::milliseconds totalTimeout{30000};
  // When set and it becomes true, the request ends at once as kCancelled.
  const std::atomic<bool>* abort = nullptr;
};

enum class HttpOutcome {
  kAnswered,      // the server answered; status says how
  kUnreachable,   // no connection: no network, unknown host, refused
  kTimedOut,      // connected or not, no whole answer within the timeouts
  kCancelled,     // the abort flag was raised
  kFailed,        // anything else (TLS, a broken answer, too large a body)
};

struct HttpResponse {
  HttpOutcome outcome = HttpOutcome::kFailed;
  int status = 0;
  std::string body;
  // The headers a tile cache needs, empty when the answer had none.
  std::string etag;
  std::string lastModified;
  std::string cacheControl;
  std::string expires;
  std::string date;
  std::string age;
  std::string contentType;
  // What went wrong, for a message, when outcome is not kAnswered.
  std::string error;
};

// HTTP GET, one request per call, callable from several threads at once.
// Redirects are followed (http and https only); a body of more than 16 MB is
// refused as kFailed.
class HttpClient {
 public:
  virtual ~HttpClient() = default;
  virtual HttpResponse Get(const HttpRequest& request) = 0;
};

// "Quillon/1.0 (Linux x86_64)": the program's name and version, and the
// operating system it runs on.
std::string QuillonUserAgent();

// The operating system's client (libcurl on Linux), sending `userAgent`.
std::unique_ptr<HttpClient> MakeHttpClient(const std::string& userAgent = QuillonUserAgent());

}  // namespace quillon
