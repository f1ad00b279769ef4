// Starts build/calcora-serve (or the program named by CALCORA_SERVE) as a child process, for
// tests that must kill it at will and for benchmarks that compare builds of it.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <stdexcept>
#include <string>

extern char** environ;

namespace calcora::test {

class ServeProcess {
 public:
  ServeProcess(const std::filesystem::path& data_dir, const std::string& key) {
    const char* chosen = std::getenv("CALCORA_SERVE");
    const std::string binary = chosen && *chosen ? chosen : std::string(CALCORA_BINARY_DIR) + "/calcora-serve";
    int out[2];
    if (pipe(out) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const std::string dir = data_dir.string();
    const char* argv[] = {binary.c_str(), "--port", "0", "--data-dir", dir.c_str(), "--key", key.c_str(), nullptr};
    int rc = posix_spawn(&pid_, binary.c_str(), &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (rc != 0) {
      close(out[0]);
      throw std::runtime_error("cannot start " + binary);
    }
    std::string line;
    char c;
    while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
    close(out[0]);
    std::smatch m;
    if (!std::regex_search(line, m, std::regex(R"(^Calcora: http://127\.0\.0\.1:(\d+)/#key=)")))
      throw std::runtime_error("unexpected first line from calcora-serve: " + line);
    port_ = std::stoi(m[1]);
  }
  ~ServeProcess() { kill_hard(); }

  int port() const { return port_; }
  void kill_hard() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  int port_ = 0;
};

}  // namespace calcora::test
