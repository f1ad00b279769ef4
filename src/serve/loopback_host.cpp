#include "serve/loopback_host.h"

#include <microhttpd.h>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <string_view>

#include "app/page/page_files.h"
#include "app/page_policy.h"
#include "serve/command_runner.h"
#include "serve/listen_socket.h"

namespace calcora {

namespace {

constexpr const char* kTextPlain = "text/plain; charset=utf-8";
constexpr const char* kJson = "application/json; charset=utf-8";
constexpr std::string_view kInvokePrefix = "/api/invoke/";
constexpr std::string_view kDialogRoute = "/api/dialog";

struct Answer {
  unsigned status = 200;
  std::string body;
  const char* content_type = kTextPlain;
};

Answer text_answer(unsigned status, std::string body) { return {status, std::move(body), kTextPlain}; }

// One request on a connection, from its headers to its answer. MHD calls the request handler
// once for the headers, once per piece of body, once when the body is whole, and once more after
// a command's answer has resumed the connection.
struct Exchange {
  std::optional<Answer> refusal;  // decided from the headers; the body is read and dropped
  std::string command;            // empty for the page's files and dialogs
  bool dialog = false;            // a request for a native dialog
  std::string body;
  bool body_too_large = false;
  bool queued = false;
  Answer answer;  // written by the command thread before it resumes the connection
};

bool is_command_name(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name) {
    bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    if (!ok) return false;
  }
  return true;
}

struct HeaderTally {
  size_t count = 0;
  size_t bytes = 0;
};

MHD_Result tally_header(void* cls, MHD_ValueKind, const char* name, const char* value) {
  auto* tally = static_cast<HeaderTally*>(cls);
  ++tally->count;
  tally->bytes += std::strlen(name) + (value ? std::strlen(value) : 0) + 4;  // ": " and CRLF
  return MHD_YES;
}

void free_string(void* cls) { delete static_cast<std::string*>(cls); }

MHD_Result send_answer(MHD_Connection* connection, Answer answer) {
  auto* body = new std::string(std::move(answer.body));
  MHD_Response* response =
      MHD_create_response_from_buffer_with_free_callback_cls(body->size(), body->data(), free_string, body);
  if (!response) {
    delete body;
    return MHD_NO;
  }
  MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, answer.content_type);
  MHD_Result queued = MHD_queue_response(connection, answer.status, response);
  MHD_destroy_response(response);
  return queued;
}

MHD_Result send_page_file(MHD_Connection* connection, const char* url) {
  const EmbeddedFile& file = page_file_for_path(url);
  // The page's files are compiled in and live as long as the program: no copy.
  MHD_Response* response = MHD_create_response_from_buffer(
      file.bytes.size(), const_cast<unsigned char*>(reinterpret_cast<const unsigned char*>(file.bytes.data())),
      MHD_RESPMEM_PERSISTENT);
  if (!response) return MHD_NO;
  MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, std::string(mime_type_for(file.name)).c_str());
  MHD_add_response_header(response, "Content-Security-Policy", kContentSecurityPolicy);
  MHD_add_response_header(response, MHD_HTTP_HEADER_CACHE_CONTROL, "no-store");
  MHD_add_response_header(response, "X-Content-Type-Options", "nosniff");
  MHD_Result queued = MHD_queue_response(connection, MHD_HTTP_OK, response);
  MHD_destroy_response(response);
  return queued;
}

}  // namespace

struct LoopbackHost::Impl {
  Dispatcher& dispatcher;
  LoopbackOptions options;
  MHD_socket listen_fd = MHD_INVALID_SOCKET;
  int port = -1;
  MHD_Daemon* daemon = nullptr;
  std::optional<CommandRunner> runner;
  // Dialogs wait for the user on a thread of their own, so commands go on meanwhile.
  std::optional<CommandRunner> dialog_runner;
  std::mutex mutex;
  std::condition_variable stop_requested;
  bool stopping = false;

  Impl(Dispatcher& d, LoopbackOptions o) : dispatcher(d), options(std::move(o)) {}
  ~Impl() {
    if (listen_fd != MHD_INVALID_SOCKET && !daemon) close_listen_socket(listen_fd);
  }

  const char* header(MHD_Connection* connection, const char* name) const {
    return MHD_lookup_connection_value(connection, MHD_HEADER_KIND, name);
  }

  bool host_allowed(MHD_Connection* connection) const {
    // A page on another site that resolves its own name to 127.0.0.1 (DNS rebinding)
    // sends its own name here; only our two loopback names are served.
    const char* value = header(connection, MHD_HTTP_HEADER_HOST);
    if (!value) return false;
    const std::string host = value;
    const std::string suffix = ":" + std::to_string(port);
    return host == "127.0.0.1" + suffix || host == "localhost" + suffix;
  }

  // What the headers alone decide: a refusal, or nothing when the request may go on.
  std::optional<Answer> check_headers(MHD_Connection* connection, std::string_view url, std::string_view method,
                                      Exchange& exchange) const {
    HeaderTally tally;
    MHD_get_connection_values(connection, MHD_HEADER_KIND, tally_header, &tally);
    if (tally.count > options.max_header_count || tally.bytes > options.max_header_bytes)
      return text_answer(MHD_HTTP_REQUEST_HEADER_FIELDS_TOO_LARGE, "request headers too large");
    if (url.size() > options.max_target_bytes) return text_answer(MHD_HTTP_URI_TOO_LONG, "request address too long");
    if (!host_allowed(connection)) return text_answer(MHD_HTTP_FORBIDDEN, "forbidden host");
    if (method == "GET" || method == "HEAD") return std::nullopt;
    const bool dialog = options.dialogs && url == kDialogRoute;
    if (method != "POST" ||
        (!dialog && (!url.starts_with(kInvokePrefix) || !is_command_name(url.substr(kInvokePrefix.size())))))
      return text_answer(MHD_HTTP_NOT_FOUND, "not found");
    const char* key = header(connection, "X-Calcora-Key");
    if (!key || key != options.key) return text_answer(MHD_HTTP_FORBIDDEN, "forbidden");
    if (dialog)
      exchange.dialog = true;
    else
      exchange.command = url.substr(kInvokePrefix.size());
    return std::nullopt;
  }

  void take_body(Exchange& exchange, const char* data, size_t size) const {
    // Only a command's body is kept; any other is read and dropped.
    if (exchange.refusal || (exchange.command.empty() && !exchange.dialog) || exchange.body_too_large) return;
    if (exchange.body.size() + size > options.max_body_bytes) {
      // The rest is read and dropped, so that the client, still sending, gets to read the answer.
      exchange.body_too_large = true;
      std::string().swap(exchange.body);
      return;
    }
    exchange.body.append(data, size);
  }

  MHD_Result run_command(MHD_Connection* connection, Exchange& exchange) {
    exchange.queued = true;
    MHD_suspend_connection(connection);
    CommandRunner& queue = exchange.dialog ? *dialog_runner : *runner;
    bool accepted = queue.submit([this, connection, &exchange] {
      CommandOutcome outcome = exchange.dialog ? answer_dialog_request(*options.dialogs, exchange.body)
                                               : dispatcher.dispatch_text(exchange.command, exchange.body);
      exchange.answer = outcome.ok ? Answer{MHD_HTTP_OK, std::move(outcome.body), kJson}
                                   : text_answer(MHD_HTTP_BAD_REQUEST, std::move(outcome.body));
      MHD_resume_connection(connection);  // the exchange may be gone from here on
    });
    if (!accepted) {
      exchange.answer = text_answer(MHD_HTTP_SERVICE_UNAVAILABLE, "the host is stopping");
      MHD_resume_connection(connection);
    }
    return MHD_YES;
  }

  MHD_Result on_request(MHD_Connection* connection, const char* url, const char* method, const char* upload_data,
                        size_t* upload_data_size, void** request_state) {
    auto* exchange = static_cast<Exchange*>(*request_state);
    if (!exchange) {
      exchange = new Exchange;
      *request_state = exchange;
      exchange->refusal = check_headers(connection, url, method, *exchange);
      return MHD_YES;
    }
    if (*upload_data_size > 0) {
      take_body(*exchange, upload_data, *upload_data_size);
      *upload_data_size = 0;
      return MHD_YES;
    }
    if (exchange->refusal) return send_answer(connection, std::move(*exchange->refusal));
    if (exchange->body_too_large)
      return send_answer(connection, text_answer(MHD_HTTP_CONTENT_TOO_LARGE, "request body too large"));
    if (exchange->command.empty() && !exchange->dialog) {
      const std::string_view path = url;
      if (options.page_served && (path == "/" || path == "/index.html")) options.page_served();
      return send_page_file(connection, url);
    }
    if (!exchange->queued) return run_command(connection, *exchange);
    return send_answer(connection, std::move(exchange->answer));
  }

  bool start() {
    runner.emplace();
    dialog_runner.emplace();
    daemon = MHD_start_daemon(MHD_USE_AUTO_INTERNAL_THREAD | MHD_ALLOW_SUSPEND_RESUME, 0, nullptr, nullptr,
                              &Impl::handle_request, this, MHD_OPTION_LISTEN_SOCKET, listen_fd,
                              MHD_OPTION_CONNECTION_LIMIT, options.max_connections, MHD_OPTION_PER_IP_CONNECTION_LIMIT,
                              options.max_connections, MHD_OPTION_CONNECTION_TIMEOUT, options.idle_timeout_seconds,
                              // Holds the request line and headers; what does not fit is refused with 414 or 431.
                              MHD_OPTION_CONNECTION_MEMORY_LIMIT, size_t(64 * 1024), MHD_OPTION_NOTIFY_COMPLETED,
                              &Impl::request_completed, this, MHD_OPTION_END);
    if (!daemon) {
      runner->close();
      dialog_runner->close();
    }
    return daemon != nullptr;
  }

  static MHD_Result handle_request(void* cls, MHD_Connection* connection, const char* url, const char* method,
                                   const char*, const char* upload_data, size_t* upload_data_size,
                                   void** request_state) {
    try {
      return static_cast<Impl*>(cls)->on_request(connection, url, method, upload_data, upload_data_size, request_state);
    } catch (...) {
      return MHD_NO;  // closes the connection; nothing may throw into the server's C code
    }
  }

  static void request_completed(void*, MHD_Connection*, void** request_state, MHD_RequestTerminationCode) {
    delete static_cast<Exchange*>(*request_state);
    *request_state = nullptr;
  }
};

LoopbackHost::LoopbackHost(Dispatcher& dispatcher, LoopbackOptions options)
    : impl_(std::make_unique<Impl>(dispatcher, std::move(options))) {}

LoopbackHost::~LoopbackHost() = default;

int LoopbackHost::bind() {
  const auto listener = open_loopback_listener(impl_->options.port);
  if (!listener) return -1;
  impl_->listen_fd = listener->socket;
  impl_->port = listener->port;
  return impl_->port;
}

bool LoopbackHost::serve() {
  if (impl_->listen_fd == MHD_INVALID_SOCKET || !impl_->start()) return false;
  {
    std::unique_lock lock(impl_->mutex);
    impl_->stop_requested.wait(lock, [&] { return impl_->stopping; });
  }
  // Queued commands run and resume their connections before the server may stop.
  impl_->runner->close();
  impl_->dialog_runner->close();
  MHD_stop_daemon(impl_->daemon);
  impl_->daemon = nullptr;
  impl_->listen_fd = MHD_INVALID_SOCKET;  // closed by the server
  return true;
}

void LoopbackHost::stop() {
  {
    std::lock_guard lock(impl_->mutex);
    impl_->stopping = true;
  }
  impl_->stop_requested.notify_all();
}

}  // namespace calcora
