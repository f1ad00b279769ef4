// The link service's HTTP layer (libmicrohttpd): a pool of threads, each request handed whole
// (headers and a capped body) to one handler function that returns the whole answer.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace calcora::link {

struct Request {
  std::string method;
  std::string path;                           // without the query
  std::map<std::string, std::string> query;   // decoded
  std::map<std::string, std::string> headers; // names in lower case
  std::string body;
  bool body_too_large = false;  // the body was read and dropped; `body` is empty
  std::string peer;             // the connecting address
  bool tls = false;

  const std::string* header(const std::string& lower_name) const {
    auto it = headers.find(lower_name);
    return it == headers.end() ? nullptr : &it->second;
  }
};

struct Response {
  unsigned status = 200;
  std::string content_type = "text/plain; charset=utf-8";
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;
};

using Handler = std::function<Response(const Request&)>;

struct ServerOptions {
  std::string host = "127.0.0.1";
  int port = 8080;  // 0: any free port
  size_t max_body_bytes = 2u << 20;
  unsigned threads = 8;
  unsigned max_connections = 512;
  unsigned idle_timeout_seconds = 30;
  std::optional<std::string> tls_cert_pem;  // both or neither
  std::optional<std::string> tls_key_pem;
};

class HttpServer {
 public:
  HttpServer(ServerOptions options, Handler handler);
  ~HttpServer();

  // Binds the address; returns the bound port, or an error text.
  std::pair<int, std::string> bind();
  // Starts answering on the pool's threads; false with a reason when it cannot.
  bool start(std::string& problem);
  void stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// "a%20b+c" → "a b c": the decoding of query strings and of form bodies.
std::string form_decode(std::string_view text);
// The pairs of an "a=1&b=2" text, decoded; a repeated name keeps its first value.
std::map<std::string, std::string> form_fields(std::string_view text);

}  // namespace calcora::link
