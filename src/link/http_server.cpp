#include "link/http_server.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace calcora::link {

namespace {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// One request from its headers to its answer; MHD hands the body in pieces.
struct Exchange {
  Request request;
  bool headers_read = false;
};

MHD_Result collect_header(void* cls, MHD_ValueKind, const char* name, const char* value) {
  auto* request = static_cast<Request*>(cls);
  request->headers.emplace(lower(name), value ? value : "");
  return MHD_YES;
}

MHD_Result collect_query(void* cls, MHD_ValueKind, const char* name, const char* value) {
  // MHD has already decoded the arguments.
  static_cast<Request*>(cls)->query.emplace(name, value ? value : "");
  return MHD_YES;
}

void free_string(void* cls) { delete static_cast<std::string*>(cls); }

std::string peer_address(MHD_Connection* connection) {
  const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
  if (!info || !info->client_addr) return "";
  char text[INET6_ADDRSTRLEN] = "";
  const sockaddr* address = info->client_addr;
  if (address->sa_family == AF_INET)
    inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text, sizeof text);
  else if (address->sa_family == AF_INET6)
    inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr, text, sizeof text);
  return text;
}

}  // namespace

std::string form_decode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '+') {
      out += ' ';
    } else if (c == '%' && i + 2 < text.size() && hex_value(text[i + 1]) >= 0 &&
               hex_value(text[i + 2]) >= 0) {
      out += static_cast<char>(hex_value(text[i + 1]) * 16 + hex_value(text[i + 2]));
      i += 2;
    } else {
      out += c;
    }
  }
  return out;
}

std::map<std::string, std::string> form_fields(std::string_view text) {
  std::map<std::string, std::string> fields;
  while (!text.empty()) {
    auto amp = text.find('&');
    std::string_view pair = text.substr(0, amp);
    text = amp == std::string_view::npos ? std::string_view() : text.substr(amp + 1);
    if (pair.empty()) continue;
    auto eq = pair.find('=');
    std::string name = form_decode(pair.substr(0, eq));
    std::string value = eq == std::string_view::npos ? "" : form_decode(pair.substr(eq + 1));
    fields.emplace(std::move(name), std::move(value));
  }
  return fields;
}

struct HttpServer::Impl {
  ServerOptions options;
  Handler handler;
  int listen_fd = -1;
  MHD_Daemon* daemon = nullptr;

  MHD_Result on_request(MHD_Connection* connection, const char* url, const char* method, const char* upload_data,
                        size_t* upload_data_size, void** state) {
    auto* exchange = static_cast<Exchange*>(*state);
    if (!exchange) {
      exchange = new Exchange;
      *state = exchange;
      Request& r = exchange->request;
      r.method = method;
      r.path = url;
      r.tls = options.tls_cert_pem.has_value();
      r.peer = peer_address(connection);
      MHD_get_connection_values(connection, MHD_HEADER_KIND, collect_header, &r);
      MHD_get_connection_values(connection, MHD_GET_ARGUMENT_KIND, collect_query, &r);
      // A declared length over the cap is known at once; the body is still read and dropped
      // so that the client, busy sending, gets to read the refusal.
      if (auto* length = r.header("content-length")) {
        try {
          if (std::stoull(*length) > options.max_body_bytes) r.body_too_large = true;
        } catch (const std::exception&) {
        }
      }
      return MHD_YES;
    }
    Request& r = exchange->request;
    if (*upload_data_size > 0) {
      if (!r.body_too_large) {
        if (r.body.size() + *upload_data_size > options.max_body_bytes) {
          r.body_too_large = true;
          std::string().swap(r.body);
        } else {
          r.body.append(upload_data, *upload_data_size);
        }
      }
      *upload_data_size = 0;
      return MHD_YES;
    }
    Response answer = handler(r);
    auto* body = new std::string(std::move(answer.body));
    MHD_Response* response =
        MHD_create_response_from_buffer_with_free_callback_cls(body->size(), body->data(), free_string, body);
    if (!response) {
      delete body;
      return MHD_NO;
    }
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, answer.content_type.c_str());
    for (auto& [name, value] : answer.headers) MHD_add_response_header(response, name.c_str(), value.c_str());
    MHD_Result queued = MHD_queue_response(connection, answer.status, response);
    MHD_destroy_response(response);
    return queued;
  }

  static MHD_Result handle(void* cls, MHD_Connection* connection, const char* url, const char* method, const char*,
                           const char* upload_data, size_t* upload_data_size, void** state) {
    try {
      return static_cast<Impl*>(cls)->on_request(connection, url, method, upload_data, upload_data_size, state);
    } catch (...) {
      return MHD_NO;  // closes the connection; nothing may throw into the server's C code
    }
  }

  static void completed(void*, MHD_Connection*, void** state, MHD_RequestTerminationCode) {
    delete static_cast<Exchange*>(*state);
    *state = nullptr;
  }
};

HttpServer::HttpServer(ServerOptions options, Handler handler) : impl_(std::make_unique<Impl>()) {
  impl_->options = std::move(options);
  impl_->handler = std::move(handler);
}

HttpServer::~HttpServer() {
  stop();
  if (impl_->listen_fd >= 0) ::close(impl_->listen_fd);
}

std::pair<int, std::string> HttpServer::bind() {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  std::string port = std::to_string(impl_->options.port);
  const char* host = impl_->options.host.empty() ? nullptr : impl_->options.host.c_str();
  if (int rc = getaddrinfo(host, port.c_str(), &hints, &found); rc != 0) return {-1, gai_strerror(rc)};
  std::string problem = "no address";
  for (addrinfo* a = found; a; a = a->ai_next) {
    int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) continue;
    int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    if (::bind(fd, a->ai_addr, a->ai_addrlen) != 0 || ::listen(fd, SOMAXCONN) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length) != 0) {
      problem = std::strerror(errno);
      ::close(fd);
      continue;
    }
    freeaddrinfo(found);
    impl_->listen_fd = fd;
    uint16_t net_port = bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                                    : reinterpret_cast<sockaddr_in*>(&bound)->sin_port;
    return {ntohs(net_port), ""};
  }
  freeaddrinfo(found);
  return {-1, problem};
}

bool HttpServer::start(std::string& problem) {
  const ServerOptions& o = impl_->options;
  unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL_LINUX_ONLY;
  bool tls = o.tls_cert_pem && o.tls_key_pem;
  if (tls) flags |= MHD_USE_TLS;
  std::vector<MHD_OptionItem> items = {
      {MHD_OPTION_LISTEN_SOCKET, impl_->listen_fd, nullptr},
      {MHD_OPTION_THREAD_POOL_SIZE, o.threads, nullptr},
      {MHD_OPTION_CONNECTION_LIMIT, o.max_connections, nullptr},
      {MHD_OPTION_CONNECTION_TIMEOUT, o.idle_timeout_seconds, nullptr},
      {MHD_OPTION_CONNECTION_MEMORY_LIMIT, 64 * 1024, nullptr},
      {MHD_OPTION_NOTIFY_COMPLETED, reinterpret_cast<intptr_t>(&Impl::completed), nullptr},
  };
  if (tls) {
    items.push_back({MHD_OPTION_HTTPS_MEM_CERT, 0, const_cast<char*>(o.tls_cert_pem->c_str())});
    items.push_back({MHD_OPTION_HTTPS_MEM_KEY, 0, const_cast<char*>(o.tls_key_pem->c_str())});
  }
  items.push_back({MHD_OPTION_END, 0, nullptr});
  impl_->daemon = MHD_start_daemon(flags, 0, nullptr, nullptr, &Impl::handle, impl_.get(), MHD_OPTION_ARRAY,
                                   items.data(), MHD_OPTION_END);
  if (!impl_->daemon) {
    problem = tls ? "cannot start (is the certificate and key pair valid PEM?)" : "cannot start";
    return false;
  }
  impl_->listen_fd = -1;  // the server owns and closes it now
  return true;
}

void HttpServer::stop() {
  if (impl_->daemon) {
    MHD_stop_daemon(impl_->daemon);
    impl_->daemon = nullptr;
  }
}

}  // namespace calcora::link
