#include "app/fault.h"

#include <cstdlib>
#include <exception>
#include <iostream>
#include <system_error>

#include "app/crash_handlers.h"
#include "app/paths.h"
#include "common/file_io.h"
#include "common/time_stamp.h"

namespace calcora {

namespace {

ErrorBox& error_box() {
  static ErrorBox box;
  return box;
}

void show_box(const std::string& caption, const std::string& text) {
  if (error_box()) error_box()(caption, text);
}

[[noreturn]] void on_terminate() {
  std::string message = panic_message("unknown", 0, 0, "");
  if (auto current = std::current_exception()) {
    try {
      std::rethrow_exception(current);
    } catch (const Fault& f) {
      message = panic_message(f.where().file, f.where().line, f.where().column, f.what());
    } catch (const std::exception& e) {
      message = panic_message("unknown", 0, 0, e.what());
    } catch (...) {
      message = panic_message("unknown", 0, 0, "unknown exception");
    }
  }
  report_fault(message);
  std::_Exit(101);
}

}  // namespace

void raise_fault(const std::string& text, SourcePlace where) { throw Fault(text, where); }

void set_error_box(ErrorBox box) { error_box() = std::move(box); }

std::string panic_message(const std::string& file, unsigned line, unsigned column, const std::string& text) {
  std::string m = "panicked at " + file + ":" + std::to_string(line) + ":" + std::to_string(column);
  if (!text.empty()) m += ":\n" + text;
  return m;
}

void append_startup_log(const std::string& message) {
  auto path = startup_log_path();
  if (!path) return;
  std::error_code ec;
  std::filesystem::create_directories(path->parent_path(), ec);
  append_to_file(*path, local_now_stamp() + ' ' + message + '\n');
}

void report_fault(const std::string& message) {
  std::cerr << "panic: " << message << std::endl;
  append_startup_log("panic: " + message);
  show_box("Calcora: критическая ошибка", message);
}

void install_fault_hook() {
  std::set_terminate(on_terminate);
  install_crash_handlers();
}

void fail_start(const std::string& reason) {
  const std::string message = "Не удалось запустить Calcora: " + reason;
  std::cerr << message << std::endl;
  append_startup_log(message);
  show_box("Calcora: ошибка запуска", message);
  std::exit(1);
}

}  // namespace calcora
