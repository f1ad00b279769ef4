#include "proposal/http_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <mutex>

namespace calcora {

namespace {

// A proposal snapshot with a logo is well under a megabyte; a reply far above that is
// not a service answer, and reading it all would only eat memory.
constexpr size_t kMaxReplyBytes = 32u * 1024 * 1024;

struct CurlDeleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct HeaderListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

bool global_init_ok() {
  // curl_global_init is not thread-safe; do it once for the whole process.
  static std::once_flag once;
  static bool ok = false;
  std::call_once(once, [] { ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
  return ok;
}

struct Sink {
  std::string body;
  bool too_large = false;
};

size_t collect(char* data, size_t size, size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  size_t bytes = size * count;
  if (sink->body.size() + bytes > kMaxReplyBytes) {
    sink->too_large = true;
    return 0;  // makes curl abort the transfer
  }
  sink->body.append(data, bytes);
  return bytes;
}

}  // namespace

std::optional<HttpReply> send_http(const HttpRequest& request) {
  if (!global_init_ok()) return std::nullopt;
  std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
  if (!curl) return std::nullopt;
  CURL* h = curl.get();
  // curl reads a limit of 0 as "no limit"; a request must never wait forever.
  long timeout_ms = std::max<long>(1, static_cast<long>(request.timeout.count()));
  Sink sink;
  std::unique_ptr<curl_slist, HeaderListDeleter> headers;
  bool set_up = curl_easy_setopt(h, CURLOPT_URL, request.url.c_str()) == CURLE_OK &&
                curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
                curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L) == CURLE_OK &&
                curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
                curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, timeout_ms) == CURLE_OK &&
                curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, collect) == CURLE_OK &&
                curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink) == CURLE_OK;
  if (set_up && request.method == HttpRequest::Method::kPost) {
    headers.reset(curl_slist_append(nullptr, "Content-Type: application/json"));
    // An empty "Expect:" stops curl from announcing larger bodies with 100-continue and
    // then waiting for a go-ahead that a plain server never sends.
    curl_slist* list = headers ? curl_slist_append(headers.get(), "Expect:") : nullptr;
    set_up = list && curl_easy_setopt(h, CURLOPT_HTTPHEADER, list) == CURLE_OK &&
             curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.json_body.size())) ==
                 CURLE_OK &&
             curl_easy_setopt(h, CURLOPT_POSTFIELDS, request.json_body.data()) == CURLE_OK;
  }
  if (!set_up) return std::nullopt;
  if (curl_easy_perform(h) != CURLE_OK || sink.too_large) return std::nullopt;
  HttpReply reply;
  if (curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &reply.status) != CURLE_OK) return std::nullopt;
  reply.body = std::move(sink.body);
  return reply;
}

}  // namespace calcora
