// What the tests need from the operating system on Windows: sockets, child processes and
// command pipes, under the names tests/platform/linux/test_platform.h gives them on Linux.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/utf8_path.h"

namespace calcora::test {

using Socket = SOCKET;
inline constexpr Socket kNoSocket = INVALID_SOCKET;
inline constexpr const char* kExeSuffix = ".exe";

inline Socket open_tcp_socket() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started ? ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP) : INVALID_SOCKET;
}
inline void close_socket(Socket s) { closesocket(s); }
inline void set_send_timeout(Socket s, std::chrono::milliseconds limit) {
  DWORD ms = static_cast<DWORD>(limit.count());
  ::setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&ms), sizeof ms);
}
inline long send_some(Socket s, const char* data, size_t size) {
  return ::send(s, data, static_cast<int>(std::min<size_t>(size, 1 << 30)), 0);
}
inline long receive_some(Socket s, char* data, size_t size) {
  return ::recv(s, data, static_cast<int>(std::min<size_t>(size, 1 << 30)), 0);
}
inline bool wait_readable(Socket s, int ms) {
  WSAPOLLFD p{s, POLLRDNORM, 0};
  return WSAPoll(&p, 1, ms) > 0;
}

class ChildProcess {
 public:
  explicit ChildProcess(const std::vector<std::string>& args) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE write_end = nullptr;
    if (!CreatePipe(&out_, &write_end, &inherit, 0)) throw std::runtime_error("pipe failed");
    SetHandleInformation(out_, HANDLE_FLAG_INHERIT, 0);
    std::wstring command;
    for (const auto& a : args) {
      if (!command.empty()) command += L' ';
      command += L'"' + utf8_path(a).native() + L'"';
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write_end;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info{};
    const bool started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                        &info);
    CloseHandle(write_end);
    if (!started) {
      CloseHandle(out_);
      throw std::runtime_error("cannot start " + args[0]);
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
  }
  ~ChildProcess() {
    kill_hard();
    CloseHandle(out_);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  std::string read_line() {
    std::string line;
    char c;
    DWORD n = 0;
    while (ReadFile(out_, &c, 1, &n, nullptr) && n == 1 && c != '\n') line += c;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
  }
  void kill_hard() {
    if (!process_) return;
    TerminateProcess(process_, 9);
    WaitForSingleObject(process_, INFINITE);
    CloseHandle(process_);
    process_ = nullptr;
  }

 private:
  HANDLE process_ = nullptr;
  HANDLE out_ = nullptr;
};

inline std::string system_error_text(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = n ? std::wstring(text, n) : L"error";
  LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
    message.pop_back();
  return path_utf8(std::filesystem::path(message)) + " (os error " + std::to_string(code) + ")";
}
inline std::string missing_file_error() { return system_error_text(ERROR_FILE_NOT_FOUND); }
inline std::string missing_folder_error() { return system_error_text(ERROR_PATH_NOT_FOUND); }
inline std::string is_directory_error() { return system_error_text(ERROR_ACCESS_DENIED); }

// The C library's own form also sets the process environment the program reads; the wide form
// keeps a value such as C:\Users\Пётр whole whatever the code page.
inline void set_env(const char* name, const std::string& value) {
  _wputenv_s(utf8_path(name).c_str(), utf8_path(value).c_str());
}
inline void unset_env(const char* name) { _wputenv_s(utf8_path(name).c_str(), L""); }

inline FILE* open_command_pipe(const std::string& command) { return _popen(command.c_str(), "r"); }
inline int close_command_pipe(FILE* pipe) { return _pclose(pipe); }

}  // namespace calcora::test
