// The loopback host: serves the embedded page and the command interface to a browser on
// 127.0.0.1, for end-to-end tests and for machines without a display.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/native_dialogs.h"
#include "commands/dispatcher.h"

namespace calcora {

struct LoopbackOptions {
  int port = 0;     // 0: any free port
  std::string key;  // required in the X-Calcora-Key header of every command request
  size_t max_body_bytes = size_t(64) << 20;  // a 10,000-line estimate is a few MB
  // Every client of a loopback host comes from 127.0.0.1, so this caps one client and all of
  // them; a browser opens about six.
  unsigned max_connections = 64;
  // A connection that sends and receives nothing for this long is closed: an idle kept-alive
  // connection, or a client that stopped halfway through its headers or body.
  unsigned idle_timeout_seconds = 10;
  // Beyond these a request is refused: 414 for the address, 431 for the headers.
  size_t max_target_bytes = 8 * 1024;
  size_t max_header_count = 100;
  size_t max_header_bytes = 32 * 1024;
  // A host inside the desktop program shows the page's dialogs with the platform's own: POST
  // /api/dialog with the key, answered when the user has answered. Without it the route is absent
  // and the page draws dialogs of its own.
  NativeDialogs* dialogs = nullptr;
  // Called on the serving thread each time the page itself ("/" or "/index.html") is sent.
  std::function<void()> page_served;
};

class LoopbackHost {
 public:
  LoopbackHost(Dispatcher& dispatcher, LoopbackOptions options);
  ~LoopbackHost();

  // Binds 127.0.0.1; returns the bound port, or -1 when the port cannot be bound.
  int bind();
  // Serves until stop() is called; false when serving could not start.
  bool serve();
  // Ends serve(): commands already received still run and are answered first.
  void stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace calcora
