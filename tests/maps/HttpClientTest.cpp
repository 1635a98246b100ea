// The operating system's HTTP client (libcurl on Linux, WinHTTP on Windows)
// against tests/maps/tile_server.py: what each kind of answer becomes, the
// headers it reports, redirects, the body limit, cancelling and several
// threads at once. Both clients must pass the same table.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/HttpClient.h"
#include "tests/maps/TileServer.h"

namespace quillon {
namespace {

using Clock = std::chrono::steady_clock;
using testing::ServedTile;
using testing::TileServer;

constexpr std::size_t kLimit = std::size_t{16} << 20;

const char* OutcomeName(HttpOutcome outcome) {
  switch (outcome) {
    case HttpOutcome::kAnswered:
      return "answered";
    case HttpOutcome::kUnreachable:
      return "unreachable";
    case HttpOutcome::kTimedOut:
      return "timed out";
    case HttpOutcome::kCancelled:
      return "cancelled";
    case HttpOutcome::kFailed:
      return "failed";
  }
  return "?";
}

class HttpClientTest : public testing::LoopbackTest {
 protected:
  HttpResponse Get(const std::string& path, std::chrono::milliseconds total = std::chrono::seconds(30)) {
    HttpRequest request;
    request.url = path.starts_with("/") ? server_.Origin() + path : path;
    request.totalTimeout = total;
    return http_->Get(request);
  }

  TileServer server_;
  std::unique_ptr<HttpClient> http_ = MakeHttpClient();
};

TEST_F(HttpClientTest, OutcomesOfEachKindOfAnswer) {
  std::string everyByte;
  for (int c = 0; c < 256; ++c) everyByte += static_cast<char>(c);
  server_.Serve("/bytes", {.body = everyByte});
  server_.Serve("/gone", {.body = "gone", .status = 410});
  server_.Serve("/moved", {.status = 302, .headers = {{"Location", "/bytes"}, {"Cache-Control", "no-store"}}});
  server_.Serve("/twice", {.status = 301, .headers = {{"Location", "/moved"}}});
  server_.Serve("/loop", {.status = 302, .headers = {{"Location", "/loop"}}});
  server_.Serve("/ftp", {.status = 302, .headers = {{"Location", "ftp://127.0.0.1/bytes"}}});
  server_.Serve("/limit", {.body = std::string(kLimit, 'x')});
  server_.Serve("/over", {.body = std::string(kLimit + 1, 'x')});
  server_.Serve("/slow", {.body = "late", .delaySeconds = 3.0});
  const std::string closed = "http://127.0.0.1:" + std::to_string(testing::ClosedLoopbackPort()) + "/";
  struct Case {
    std::string url;
    HttpOutcome outcome;
    int status;
    std::size_t bodyBytes;
  } const cases[] = {
      {"/bytes", HttpOutcome::kAnswered, 200, 256},
      {"/missing", HttpOutcome::kAnswered, 404, 12},
      {"/gone", HttpOutcome::kAnswered, 410, 4},
      {"/moved", HttpOutcome::kAnswered, 200, 256},
      {"/twice", HttpOutcome::kAnswered, 200, 256},
      {"/loop", HttpOutcome::kFailed, 0, 0},
      {"/ftp", HttpOutcome::kFailed, 0, 0},
      {"/limit", HttpOutcome::kAnswered, 200, kLimit},
      {"/over", HttpOutcome::kFailed, 0, 0},
      {"/slow", HttpOutcome::kTimedOut, 0, 0},
      {closed, HttpOutcome::kUnreachable, 0, 0},
      {"ftp://127.0.0.1/bytes", HttpOutcome::kFailed, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    const auto total = c.outcome == HttpOutcome::kTimedOut ? std::chrono::seconds(1) : std::chrono::seconds(30);
    const HttpResponse response = Get(c.url, total);
    EXPECT_EQ(OutcomeName(response.outcome), std::string(OutcomeName(c.outcome)))
        << "HTTP " << response.status << ", " << response.body.size() << " bytes, " << response.error;
    if (c.outcome == HttpOutcome::kAnswered) {
      EXPECT_EQ(response.status, c.status);
      EXPECT_EQ(response.body.size(), c.bodyBytes);
      EXPECT_TRUE(response.error.empty()) << response.error;
    } else {
      EXPECT_TRUE(response.body.empty());
      EXPECT_FALSE(response.error.empty());
    }
  }
  EXPECT_EQ(Get("/moved").body, everyByte);
  EXPECT_EQ(Get("/over", std::chrono::seconds(30)).error, "the answer is larger than 16 MB");
}

TEST_F(HttpClientTest, ReportsTheFinalAnswersHeaders) {
  server_.Serve("/tile", {.body = "png",
                          .headers = {{"Cache-Control", "public, max-age=60"},
                                      {"Expires", "Sun, 06 Nov 2044 08:49:37 GMT"},
                                      {"Last-Modified", "Sun, 06 Nov 1994 08:49:37 GMT"},
                                      {"Age", "12"},
                                      {"Content-Type", "image/png"}},
                          .etag = "\"v1\""});
  server_.Serve("/old", {.status = 301, .headers = {{"Location", "/tile"}, {"Cache-Control", "no-store"}, {"Age", "5"}}});
  const HttpResponse response = Get("/old");
  ASSERT_EQ(response.outcome, HttpOutcome::kAnswered) << response.error;
  EXPECT_EQ(response.body, "png");
  EXPECT_EQ(response.cacheControl, "public, max-age=60");
  EXPECT_EQ(response.expires, "Sun, 06 Nov 2044 08:49:37 GMT");
  EXPECT_EQ(response.lastModified, "Sun, 06 Nov 1994 08:49:37 GMT");
  EXPECT_EQ(response.age, "12");
  EXPECT_EQ(response.contentType, "image/png");
  EXPECT_EQ(response.etag, "\"v1\"");
  EXPECT_TRUE(response.date.ends_with(" GMT")) << response.date;

  server_.Serve("/bare", {.body = "plain"});
  const HttpResponse bare = Get("/bare");
  EXPECT_EQ(bare.etag + bare.cacheControl + bare.expires + bare.lastModified + bare.age, "");
}

TEST_F(HttpClientTest, RaisedAbortFlagEndsAWaitingRequestAtOnce) {
  server_.Serve("/hang", {.hang = true});
  std::atomic<bool> abort{false};
  HttpRequest request;
  request.url = server_.Origin() + "/hang";
  request.totalTimeout = std::chrono::seconds(120);
  request.abort = &abort;
  std::thread raiser([&] {
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (server_.Count("/hang") == 0 && Clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    abort = true;
  });
  const HttpResponse response = http_->Get(request);
  const auto raisedAt = Clock::now();
  raiser.join();
  EXPECT_EQ(OutcomeName(response.outcome), std::string("cancelled"));
  EXPECT_LT(Clock::now() - raisedAt, std::chrono::seconds(2));

  // Raised before the request starts, nothing is asked at all.
  const HttpResponse early = http_->Get(request);
  EXPECT_EQ(early.outcome, HttpOutcome::kCancelled);
  EXPECT_EQ(server_.Count("/hang"), 1);
}

TEST_F(HttpClientTest, SeveralThreadsShareOneClient) {
  constexpr int kThreads = 6;
  constexpr int kEach = 5;
  for (int t = 0; t < kThreads; ++t) server_.Serve("/t" + std::to_string(t), {.body = "body " + std::to_string(t)});
  std::vector<std::string> wrong(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i) {
        const HttpResponse response = Get("/t" + std::to_string(t));
        if (response.body != "body " + std::to_string(t)) wrong[t] = response.error + "|" + response.body;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(wrong[t], "") << "thread " << t;
  EXPECT_EQ(server_.Total(), kThreads * kEach);
}

}  // namespace
}  // namespace quillon
