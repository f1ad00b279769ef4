// A bare HTTP/1.1 client on a plain socket, for tests and benchmarks that must control every byte
// the loopback host receives (half-sent headers, pipelined requests) and see how it answers.
#pragma once

#include <cctype>
#include <chrono>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "test_platform.h"

namespace calcora::test {

struct RawReply {
  int status = 0;
  std::map<std::string, std::string> headers;  // names in lower case
  std::string body;
};

// The text of one request; `extra_headers` are whole lines, each ending in CRLF.
inline std::string http_request(std::string_view method, std::string_view target, int port, std::string_view body = {},
                                std::string_view extra_headers = {}) {
  std::string text = std::string(method) + " " + std::string(target) +
                     " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) + "\r\n" + std::string(extra_headers);
  if (method == "POST") text += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  return text + "\r\n" + std::string(body);
}

inline std::string command_request(int port, std::string_view key, std::string_view command, std::string_view args) {
  return http_request("POST", "/api/invoke/" + std::string(command), port, args,
                      "X-Calcora-Key: " + std::string(key) + "\r\nContent-Type: application/json\r\n");
}

class RawConnection {
 public:
  using Clock = std::chrono::steady_clock;

  explicit RawConnection(int port) {
    fd_ = open_tcp_socket();
    if (fd_ == kNoSocket) throw std::runtime_error("socket failed");
    // Each request leaves in one write; without this the kernel may hold a small one back.
    int on = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      close_socket(fd_);
      throw std::runtime_error("cannot connect to port " + std::to_string(port));
    }
  }
  ~RawConnection() {
    if (fd_ != kNoSocket) close_socket(fd_);
  }
  RawConnection(RawConnection&& other) noexcept
      : fd_(other.fd_), pending_(std::move(other.pending_)), closed_(other.closed_) {
    other.fd_ = kNoSocket;
  }
  RawConnection(const RawConnection&) = delete;
  RawConnection& operator=(const RawConnection&) = delete;

  // Gives up on a send that the peer does not take within `limit`.
  void set_send_limit(std::chrono::milliseconds limit) {
    set_send_timeout(fd_, limit);
  }

  // Sends every byte; false when the peer closed or stopped taking them. `sent` counts the bytes taken.
  bool send(std::string_view bytes, size_t* sent = nullptr) {
    size_t done = 0;
    while (done < bytes.size()) {
      const long n = send_some(fd_, bytes.data() + done, bytes.size() - done);
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    if (sent) *sent = done;
    return done == bytes.size();
  }

  // The next whole answer, or nothing when none came within `limit` or the peer closed first.
  std::optional<RawReply> read_reply(std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    size_t head_end;
    while ((head_end = pending_.find("\r\n\r\n")) == std::string::npos)
      if (!read_more(deadline)) return std::nullopt;
    RawReply reply;
    std::string_view head(pending_.data(), head_end);
    size_t line_end = head.find("\r\n");
    std::string_view status_line = head.substr(0, line_end);
    if (status_line.size() < 12) return std::nullopt;
    reply.status = std::stoi(std::string(status_line.substr(9, 3)));
    while (line_end != std::string_view::npos) {
      size_t start = line_end + 2;
      line_end = head.find("\r\n", start);
      std::string_view line = head.substr(start, line_end == std::string_view::npos ? head.npos : line_end - start);
      size_t colon = line.find(':');
      if (colon == std::string_view::npos) continue;
      std::string name(line.substr(0, colon));
      for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      std::string_view value = line.substr(colon + 1);
      while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
      reply.headers[name] = std::string(value);
    }
    size_t length = reply.headers.count("content-length") ? std::stoul(reply.headers["content-length"]) : 0;
    const size_t body_start = head_end + 4;
    while (pending_.size() < body_start + length)
      if (!read_more(deadline)) return std::nullopt;
    reply.body = pending_.substr(body_start, length);
    pending_.erase(0, body_start + length);
    return reply;
  }

  // True when the peer closes the connection within `limit`; bytes that arrive meanwhile are kept.
  bool closed_by_peer(std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    while (Clock::now() < deadline) {
      if (!read_more(deadline)) return closed_;
    }
    return closed_;
  }

 private:
  bool read_more(Clock::time_point deadline) {
    if (closed_) return false;
    for (;;) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) return false;
      if (!wait_readable(fd_, static_cast<int>(left))) return false;
      char buffer[16384];
      const long n = receive_some(fd_, buffer, sizeof buffer);
      if (n <= 0) {
        closed_ = true;
        return false;
      }
      pending_.append(buffer, static_cast<size_t>(n));
      return true;
    }
  }

  Socket fd_ = kNoSocket;
  std::string pending_;
  bool closed_ = false;
};

}  // namespace calcora::test
