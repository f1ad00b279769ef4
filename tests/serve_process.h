// Starts build/calcora-serve (or the program named by CALCORA_SERVE) as a child process, for
// tests that must kill it at will and for benchmarks that compare builds of it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <regex>
#include <stdexcept>
#include <string>

#include "common/utf8_path.h"
#include "test_platform.h"

namespace calcora::test {

class ServeProcess {
 public:
  ServeProcess(const std::filesystem::path& data_dir, const std::string& key) {
    const char* chosen = std::getenv("CALCORA_SERVE");
    const std::string binary =
        chosen && *chosen ? chosen : std::string(CALCORA_BINARY_DIR) + "/calcora-serve" + kExeSuffix;
    process_ = std::make_unique<ChildProcess>(std::vector<std::string>{
        binary, "--port", "0", "--data-dir", path_utf8(data_dir), "--key", key});
    const std::string line = process_->read_line();
    std::smatch m;
    if (!std::regex_search(line, m, std::regex(R"(^Calcora: http://127\.0\.0\.1:(\d+)/#key=)")))
      throw std::runtime_error("unexpected first line from calcora-serve: " + line);
    port_ = std::stoi(m[1]);
  }

  int port() const { return port_; }
  void kill_hard() { process_->kill_hard(); }

 private:
  std::unique_ptr<ChildProcess> process_;
  int port_ = 0;
};

}  // namespace calcora::test
