// The loopback host: serves the embedded page and the command interface to a browser on
// 127.0.0.1, for end-to-end tests and for machines without a display.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "commands/dispatcher.h"

namespace calcora {

struct LoopbackOptions {
  int port = 0;     // 0: any free port
  std::string key;  // required in the X-Calcora-Key header of every command request
  size_t max_body_bytes = size_t(64) << 20;  // a 10,000-line estimate is a few MB
};

class LoopbackHost {
 public:
  LoopbackHost(Dispatcher& dispatcher, LoopbackOptions options);
  ~LoopbackHost();

  // Binds 127.0.0.1; returns the bound port, or -1 when the port cannot be bound.
  int bind();
  // Serves until stop() is called.
  bool serve();
  void stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace calcora
