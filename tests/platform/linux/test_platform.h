// What the tests need from the operating system on Linux: sockets, child processes and shell
// pipes. tests/platform/windows/test_platform.h offers the same names there; CMake picks one.
#pragma once

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace calcora::test {

using Socket = int;
inline constexpr Socket kNoSocket = -1;
inline constexpr const char* kExeSuffix = "";

inline Socket open_tcp_socket() { return ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0); }
inline void close_socket(Socket s) { ::close(s); }
inline void set_send_timeout(Socket s, std::chrono::milliseconds limit) {
  timeval tv{static_cast<time_t>(limit.count() / 1000), static_cast<suseconds_t>(limit.count() % 1000 * 1000)};
  ::setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
}
inline long send_some(Socket s, const char* data, size_t size) {
  for (;;) {
    ssize_t n = ::send(s, data, size, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    return static_cast<long>(n);
  }
}
inline long receive_some(Socket s, char* data, size_t size) {
  for (;;) {
    ssize_t n = ::recv(s, data, size, 0);
    if (n < 0 && errno == EINTR) continue;
    return static_cast<long>(n);
  }
}
// True when there is something to read (or the peer closed) within `ms`.
inline bool wait_readable(Socket s, int ms) {
  for (;;) {
    pollfd p{s, POLLIN, 0};
    int ready = ::poll(&p, 1, ms);
    if (ready < 0 && errno == EINTR) continue;
    return ready > 0;
  }
}

// A child process whose standard output the test reads.
class ChildProcess {
 public:
  explicit ChildProcess(const std::vector<std::string>& args) {
    int out[2];
    if (pipe(out) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int rc = posix_spawn(&pid_, args[0].c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (rc != 0) {
      close(out[0]);
      throw std::runtime_error("cannot start " + args[0]);
    }
    out_ = out[0];
  }
  ~ChildProcess() {
    kill_hard();
    if (out_ >= 0) close(out_);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  std::string read_line() {
    std::string line;
    char c;
    while (read(out_, &c, 1) == 1 && c != '\n') line += c;
    return line;
  }
  // Ends the process at once, the way a power cut or the task manager would.
  void kill_hard() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
};

// The operating system's texts for the file errors the tests provoke.
inline std::string missing_file_error() { return "No such file or directory (os error 2)"; }
inline std::string missing_folder_error() { return "No such file or directory (os error 2)"; }
inline std::string is_directory_error() { return "Is a directory (os error 21)"; }

inline void set_env(const char* name, const std::string& value) { setenv(name, value.c_str(), 1); }
inline void unset_env(const char* name) { unsetenv(name); }

inline FILE* open_command_pipe(const std::string& command) { return popen(command.c_str(), "r"); }
inline int close_command_pipe(FILE* pipe) { return pclose(pipe); }

}  // namespace calcora::test
