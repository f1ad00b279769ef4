// A stand-in for the browser that calcora.exe opens its window in, for tests where no real
// browser runs (Wine). It takes the browser's arguments, loads the page's address, answers for
// the page what a real one would ask, writes what it saw to stand-in.log in its profile folder,
// and stays "open" until a file named close-window appears there.
//
// With CALCORA_STAND_IN_SAVE set to a proposed file name it also asks for the save dialog of an
// Excel export, as the page does, and writes the path that came back.
#include <windows.h>

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <thread>

#include "app/program_arguments.h"
#include "common/utf8_path.h"

namespace {

std::ofstream log_file;

void note(const std::string& line) { log_file << line << std::endl; }

std::string environment(const wchar_t* name) {
  const wchar_t* value = _wgetenv(name);
  return value ? calcora::path_utf8(std::filesystem::path(value)) : std::string();
}

}  // namespace

int main(int argc, char** argv) {
  std::string address, profile;
  for (const std::string& arg : calcora::program_arguments(argc, argv)) {
    if (arg.rfind("--app=", 0) == 0) address = arg.substr(6);
    if (arg.rfind("--user-data-dir=", 0) == 0) profile = arg.substr(16);
  }
  if (address.empty() || profile.empty()) return 2;
  const std::filesystem::path folder = calcora::utf8_path(profile);
  std::filesystem::create_directories(folder);
  log_file.open(folder / "stand-in.log", std::ios::app);
  note("address " + address);

  std::smatch m;
  if (!std::regex_match(address, m, std::regex(R"(http://127\.0\.0\.1:(\d+)/#key=([^&]+)&shell=app)"))) {
    note("unexpected address");
    return 3;
  }
  const std::string key = m[2];
  httplib::Client host("127.0.0.1", std::stoi(m[1]));
  host.set_read_timeout(600, 0);  // a dialog waits for its user

  auto page = host.Get("/");
  if (page && page->status == 200 && page->body.find("<title>Calcora</title>") != std::string::npos) note("page loaded");
  const httplib::Headers with_key{{"X-Calcora-Key", key}};
  auto answer = host.Post("/api/invoke/list_estimates", with_key, "{}", "application/json");
  if (answer && answer->status == 200 && !answer->body.empty() && answer->body[0] == '[') note("command answered");
  auto foreign = host.Post("/api/invoke/list_estimates", httplib::Headers{{"X-Calcora-Key", "not-the-key"}}, "{}",
                           "application/json");
  auto foreign_dialog = host.Post("/api/dialog", "{\"kind\":\"alert\",\"message\":\"x\"}", "application/json");
  if (foreign && foreign->status == 403 && foreign_dialog && foreign_dialog->status == 403) note("foreign requests refused");

  if (const std::string proposed = environment(L"CALCORA_STAND_IN_SAVE"); !proposed.empty()) {
    const std::string request = R"({"kind":"save","title":"Calcora save test","defaultName":)" +
                                nlohmann::json(proposed).dump() + R"(,"filters":[{"name":"Книга Excel","extensions":["xlsx"]}]})";
    auto chosen = host.Post("/api/dialog", with_key, request, "application/json");
    note("save dialog answered " + (chosen ? std::to_string(chosen->status) + " " + chosen->body : "nothing"));
  }

  // The window stays open until the test closes it.
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(10);
  while (!std::filesystem::exists(folder / "close-window") && std::chrono::steady_clock::now() < give_up)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::filesystem::remove(folder / "close-window");
  note("window closed");
  return 0;
}
