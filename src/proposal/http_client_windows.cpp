#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "common/utf8_path.h"
#include "proposal/http_client.h"

namespace calcora {

namespace {

// A proposal snapshot with a logo is well under a megabyte; a reply far above that is
// not a service answer, and reading it all would only eat memory.
constexpr size_t kMaxReplyBytes = 32u * 1024 * 1024;

struct InternetCloser {
  void operator()(void* h) const { WinHttpCloseHandle(h); }
};
using Internet = std::unique_ptr<void, InternetCloser>;

using Clock = std::chrono::steady_clock;

// WinHTTP's limits apply to each step; the request's limit is for all of them together, so
// every step gets what is left of it.
bool limit_to_remaining(HINTERNET h, Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  if (left <= 0) return false;
  const int ms = static_cast<int>(std::min<long long>(left, 0x7fffffff));
  return WinHttpSetTimeouts(h, ms, ms, ms, ms);
}

std::optional<HttpReply> send_within(const HttpRequest& request, Clock::time_point deadline) {
  std::wstring url = utf8_path(request.url).native();
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) return std::nullopt;
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return std::nullopt;
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  const std::wstring target = std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) +
                              std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength);

  Internet session(WinHttpOpen(L"Calcora", WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                               WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session)
    session.reset(WinHttpOpen(L"Calcora", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                              WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session || !limit_to_remaining(session.get(), deadline)) return std::nullopt;
  Internet connection(WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
  if (!connection) return std::nullopt;
  const bool post = request.method == HttpRequest::Method::kPost;
  Internet req(WinHttpOpenRequest(connection.get(), post ? L"POST" : L"GET", target.c_str(), nullptr,
                                  WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                  parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0));
  if (!req) return std::nullopt;
  DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
  if (!WinHttpSetOption(req.get(), WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof never)) return std::nullopt;
  if (!limit_to_remaining(req.get(), deadline)) return std::nullopt;

  const wchar_t* headers = post ? L"Content-Type: application/json\r\n" : WINHTTP_NO_ADDITIONAL_HEADERS;
  void* body = post ? const_cast<char*>(request.json_body.data()) : WINHTTP_NO_REQUEST_DATA;
  const DWORD body_size = post ? static_cast<DWORD>(request.json_body.size()) : 0;
  if (!WinHttpSendRequest(req.get(), headers, post ? static_cast<DWORD>(-1L) : 0, body, body_size, body_size, 0))
    return std::nullopt;
  if (!limit_to_remaining(req.get(), deadline) || !WinHttpReceiveResponse(req.get(), nullptr)) return std::nullopt;

  HttpReply reply;
  DWORD status = 0, size = sizeof status;
  if (!WinHttpQueryHeaders(req.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                           &status, &size, WINHTTP_NO_HEADER_INDEX))
    return std::nullopt;
  reply.status = static_cast<long>(status);
  char buffer[1 << 16];
  for (;;) {
    if (!limit_to_remaining(req.get(), deadline)) return std::nullopt;
    DWORD got = 0;
    if (!WinHttpReadData(req.get(), buffer, sizeof buffer, &got)) return std::nullopt;
    if (got == 0) break;
    if (reply.body.size() + got > kMaxReplyBytes) return std::nullopt;
    reply.body.append(buffer, got);
  }
  return reply;
}

}  // namespace

// WinHTTP's limits are kept by Windows itself, but not by every WinHTTP (Wine's waits on a silent
// server for good), so the request runs on a thread of its own and the answer is given up when
// the total limit runs out; a thread still blocked then ends with its request, owning its state.
std::optional<HttpReply> send_http(const HttpRequest& request) {
  const auto deadline = Clock::now() + std::max(request.timeout, std::chrono::milliseconds(1));
  struct Shared {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::optional<HttpReply> reply;
  };
  auto shared = std::make_shared<Shared>();
  std::thread([shared, request, deadline] {
    auto reply = send_within(request, deadline);
    std::lock_guard lock(shared->mutex);
    shared->reply = std::move(reply);
    shared->done = true;
    shared->finished.notify_all();
  }).detach();
  std::unique_lock lock(shared->mutex);
  if (!shared->finished.wait_until(lock, deadline + std::chrono::milliseconds(100), [&] { return shared->done; }))
    return std::nullopt;
  return std::move(shared->reply);
}

}  // namespace calcora
