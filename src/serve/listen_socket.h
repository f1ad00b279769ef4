// The host's listening socket on 127.0.0.1, handed to the HTTP server: listen_socket_linux.cpp,
// listen_socket_windows.cpp.
#pragma once

#include <microhttpd.h>

#include <optional>

namespace calcora {

struct ListenSocket {
  MHD_socket socket;
  int port;  // the port actually bound (the system picks one for port 0)
};

// Binds and listens on 127.0.0.1:port; nothing when that fails.
std::optional<ListenSocket> open_loopback_listener(int port);
void close_listen_socket(MHD_socket socket);

}  // namespace calcora
