#include <curl/curl.h>

#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "platform/HttpClient.h"

namespace quillon {
namespace {

constexpr std::size_t kMaxBodyBytes = std::size_t{16} << 20;
// How long one wait for the connection may last before the abort flag is
// looked at again: the cancel of a request that hears nothing takes at
// most this long.
constexpr int kAbortPollMilliseconds = 50;

struct Transfer {
  HttpResponse response;
  const std::atomic<bool>* abort = nullptr;
  bool tooLarge = false;
};

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n')) {
    text.remove_suffix(1);
  }
  return text;
}

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  const std::size_t bytes = size * count;
  if (transfer->response.body.size() + bytes > kMaxBodyBytes) {
    transfer->tooLarge = true;
    return 0;
  }
  transfer->response.body.append(data, bytes);
  return bytes;
}

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  HttpResponse& response = transfer->response;
  const std::string_view line = Trim(std::string_view(data, size * count));
  // Each answer of a redirect chain (or an interim 100) starts with its
  // status line; only the last answer's headers count.
  if (line.starts_with("HTTP/")) {
    response.etag.clear();
    response.lastModified.clear();
    response.cacheControl.clear();
    response.expires.clear();
    response.date.clear();
    response.age.clear();
    response.contentType.clear();
    return size * count;
  }
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) return size * count;
  const std::string_view name = Trim(line.substr(0, colon));
  const std::string value(Trim(line.substr(colon + 1)));
  const std::pair<std::string_view, std::string*> fields[] = {
      {"ETag", &response.etag},       {"Last-Modified", &response.lastModified},
      {"Cache-Control", &response.cacheControl}, {"Expires", &response.expires},
      {"Date", &response.date},       {"Age", &response.age},
      {"Content-Type", &response.contentType}};
  for (const auto& [field, target] : fields) {
    if (SameName(name, field)) {
      // Repeated Cache-Control lines add their directives.
      if (!target->empty() && field == "Cache-Control") {
        *target += ", " + value;
      } else {
        *target = value;
      }
    }
  }
  return size * count;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto* transfer = static_cast<const Transfer*>(user);
  return transfer->abort && transfer->abort->load() ? 1 : 0;
}

bool Aborted(const Transfer& transfer) { return transfer.abort && transfer.abort->load(); }

HttpOutcome OutcomeOf(CURLcode code) {
  switch (code) {
    case CURLE_OK:
      return HttpOutcome::kAnswered;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
      return HttpOutcome::kUnreachable;
    case CURLE_OPERATION_TIMEDOUT:
      return HttpOutcome::kTimedOut;
    case CURLE_ABORTED_BY_CALLBACK:
      return HttpOutcome::kCancelled;
    default:
      return HttpOutcome::kFailed;
  }
}

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiDeleter {
  void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// A request's handles. The multi handle holds the connections, so that the
// next request on the same pair reuses one that the server kept open.
struct Handles {
  std::unique_ptr<CURL, EasyDeleter> easy;
  std::unique_ptr<CURLM, MultiDeleter> multi;
};

class CurlHttpClient : public HttpClient {
 public:
  explicit CurlHttpClient(std::string userAgent) : userAgent_(std::move(userAgent)) {}

  HttpResponse Get(const HttpRequest& request) override {
    Transfer transfer;
    transfer.abort = request.abort;
    std::unique_ptr<Handles> handles = Borrow();
    if (!handles) {
      transfer.response.error = "the HTTP library could not start";
      return transfer.response;
    }
    Perform(*handles, request, transfer);
    GiveBack(std::move(handles));
    return std::move(transfer.response);
  }

 private:
  // Idle handle pairs kept for their open connections; more than this many
  // requests at once are not expected of one client.
  static constexpr std::size_t kMaxIdleHandles = 4;

  std::unique_ptr<Handles> Borrow() {
    {
      std::lock_guard lock(mutex_);
      if (!idle_.empty()) {
        std::unique_ptr<Handles> handles = std::move(idle_.back());
        idle_.pop_back();
        curl_easy_reset(handles->easy.get());
        return handles;
      }
    }
    auto handles = std::make_unique<Handles>();
    handles->easy.reset(curl_easy_init());
    handles->multi.reset(curl_multi_init());
    if (!handles->easy || !handles->multi) return nullptr;
    return handles;
  }

  void GiveBack(std::unique_ptr<Handles> handles) {
    std::lock_guard lock(mutex_);
    if (idle_.size() < kMaxIdleHandles) idle_.push_back(std::move(handles));
  }

  void Perform(Handles& handles, const HttpRequest& request, Transfer& transfer) {
    std::unique_ptr<curl_slist, ListDeleter> headers;
    for (const auto& [name, value] : request.headers) {
      if (SameName(name, "User-Agent")) continue;
      const std::string line = name + ": " + value;
      curl_slist* appended = curl_slist_append(headers.get(), line.c_str());
      if (!appended) {
        transfer.response.error = "out of memory";
        return;
      }
      headers.release();
      headers.reset(appended);
    }
    char errorText[CURL_ERROR_SIZE] = {};
    CURL* handle = handles.easy.get();
    CURLM* multi = handles.multi.get();
    curl_easy_setopt(handle, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(handle, CURLOPT_USERAGENT, userAgent_.c_str());
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.connectTimeout.count()));
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(request.totalTimeout.count()));
    curl_easy_setopt(handle, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxBodyBytes));
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorText);

    // The multi interface waits in short slices, so that a raised abort
    // flag ends even a request that hears nothing (where the progress
    // callback may run only once a second) without delay.
    curl_multi_add_handle(multi, handle);
    int running = 1;
    CURLcode result = CURLE_OK;
    bool cancelled = false;
    while (running) {
      if (Aborted(transfer)) {
        cancelled = true;
        break;
      }
      if (curl_multi_perform(multi, &running) != CURLM_OK) {
        result = CURLE_FAILED_INIT;
        break;
      }
      if (running) curl_multi_poll(multi, nullptr, 0, kAbortPollMilliseconds, nullptr);
    }
    if (!cancelled && result == CURLE_OK) {
      int left = 0;
      while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == handle) result = message->data.result;
      }
    }
    curl_multi_remove_handle(multi, handle);
    // The handle outlives this call in the pool; it must not point at this
    // call's buffer and list.
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, nullptr);
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, nullptr);

    HttpResponse& response = transfer.response;
    response.outcome = cancelled ? HttpOutcome::kCancelled : OutcomeOf(result);
    if (response.outcome == HttpOutcome::kAnswered) {
      long status = 0;
      curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
      response.status = static_cast<int>(status);
      return;
    }
    response.body.clear();
    if (response.outcome == HttpOutcome::kCancelled) {
      response.error = "cancelled";
    } else if (transfer.tooLarge || result == CURLE_FILESIZE_EXCEEDED) {
      response.outcome = HttpOutcome::kFailed;
      response.error = "the answer is larger than 16 MB";
    } else {
      response.error = errorText[0] ? errorText : curl_easy_strerror(result);
    }
  }

  std::string userAgent_;
  std::mutex mutex_;
  std::vector<std::unique_ptr<Handles>> idle_;
};

}  // namespace

std::unique_ptr<HttpClient> MakeHttpClient(const std::string& userAgent) {
  // libcurl's global set-up is not safe to run from two threads at once.
  static std::once_flag initialised;
  std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  return std::make_unique<CurlHttpClient>(userAgent);
}

}  // namespace quillon
