// calcora-serve [--port N] [--data-dir DIR] [--key KEY]: the loopback host.
#include <iostream>
#include <random>
#include <string>

#include "app/fault.h"
#include "app/paths.h"
#include "app/program_arguments.h"
#include "app/startup.h"
#include "common/utf8_path.h"
#include "serve/loopback_host.h"

namespace {

std::string random_key() {
  std::random_device rd;
  const char* digits = "0123456789abcdef";
  std::string key;
  for (int i = 0; i < 32; ++i) key += digits[rd() % 16];
  return key;
}

[[noreturn]] void usage(const std::string& problem) {
  std::cerr << "calcora-serve: " << problem << "\nusage: calcora-serve [--port N] [--data-dir DIR] [--key KEY]\n";
  std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
  calcora::install_fault_hook();
  calcora::LoopbackOptions options;
  std::string data_dir;
  const std::vector<std::string> args = calcora::program_arguments(argc, argv);
  for (size_t i = 1; i < args.size(); ++i) {
    std::string arg = args[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= args.size()) usage(arg + " needs a value");
      return args[++i];
    };
    if (arg == "--port") {
      try {
        size_t used = 0;
        std::string text = value();
        options.port = std::stoi(text, &used);
        if (used != text.size() || options.port < 0 || options.port > 65535) throw std::out_of_range(text);
      } catch (const std::exception&) {
        usage("--port needs a number from 0 to 65535");
      }
    } else if (arg == "--data-dir") {
      data_dir = value();
    } else if (arg == "--key") {
      options.key = value();
      if (options.key.empty()) usage("--key must not be empty");
    } else {
      usage("unknown option " + arg);
    }
  }
  if (options.key.empty()) options.key = random_key();
  if (data_dir.empty()) {
    auto dir = calcora::app_data_dir();
    if (!dir) calcora::fail_start(calcora::kNoAppDataDirReason);
    data_dir = calcora::path_utf8(*dir);
  }

  auto state = calcora::set_up_app_state(calcora::utf8_path(data_dir));
  calcora::Dispatcher dispatcher(*state);
  calcora::LoopbackHost host(dispatcher, options);
  int port = host.bind();
  if (port < 0) calcora::fail_start("не удалось занять порт " + std::to_string(options.port) + " на 127.0.0.1");
  std::cout << "Calcora: http://127.0.0.1:" << port << "/#key=" << options.key << std::endl;
  return host.serve() ? 0 : 1;
}
