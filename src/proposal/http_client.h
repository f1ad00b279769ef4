// One HTTP(S) request with a total time limit, for the proposal link service: libcurl on Linux
// (http_client_linux.cpp), the system's WinHTTP on Windows (http_client_windows.cpp).
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace calcora {

struct HttpReply {
  long status = 0;
  std::string body;
};

// What the link service requests need: a GET without body, or a POST of a JSON text.
struct HttpRequest {
  enum class Method { kGet, kPost };
  Method method = Method::kGet;
  std::string url;
  std::string json_body;  // POST only
  std::chrono::milliseconds timeout{0};
};

// Sends the request and reads the whole reply. nullopt when the client cannot be set up,
// the address is not http(s), nothing could be sent or received within the time limit, or
// the reply body is implausibly large. No redirect is followed, so the body is never
// handed to an address other than the one asked for.
std::optional<HttpReply> send_http(const HttpRequest& request);

}  // namespace calcora
