#include <winsock2.h>
#include <ws2tcpip.h>

#include "serve/listen_socket.h"

namespace calcora {

std::optional<ListenSocket> open_loopback_listener(int port) {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  if (!started) return std::nullopt;
  SOCKET s = WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
  if (s == INVALID_SOCKET) return std::nullopt;
  // Windows lets SO_REUSEADDR take over a port another program listens on; exclusive use instead.
  BOOL on = TRUE;
  setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on), sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<u_short>(port));
  int length = sizeof address;
  if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(s, SOMAXCONN) != 0 ||
      ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    closesocket(s);
    return std::nullopt;
  }
  return ListenSocket{s, ntohs(address.sin_port)};
}

void close_listen_socket(MHD_socket socket) { closesocket(socket); }

}  // namespace calcora
