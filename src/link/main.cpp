// calcora-link: the proposal link service. `serve` answers the program and the customers;
// `ticket add|list|revoke` manages the account keys that may publish.
#include <signal.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "app/paths.h"
#include "common/time_stamp.h"
#include "link/http_server.h"
#include "link/link_service.h"
#include "link/link_store.h"
#include "link/secrets.h"

namespace {

using namespace calcora::link;

constexpr const char* kUsage =
    "usage: calcora-link serve [--listen HOST:PORT] [--data FILE | --postgres CONNINFO]\n"
    "                          [--tls-cert FILE --tls-key FILE] [--trust-proxy] [--threads N]\n"
    "                          [--ticket-rate N] [--address-rate N] [--form-rate N]\n"
    "       calcora-link ticket add NAME [--data FILE | --postgres CONNINFO]\n"
    "       calcora-link ticket list [--data FILE | --postgres CONNINFO]\n"
    "       calcora-link ticket revoke NAME [--data FILE | --postgres CONNINFO]\n";

[[noreturn]] void usage(const std::string& problem) {
  std::cerr << "calcora-link: " << problem << "\n" << kUsage;
  std::exit(2);
}

[[noreturn]] void fail(const std::string& problem) {
  std::cerr << "calcora-link: " << problem << std::endl;
  std::exit(1);
}

struct Options {
  std::vector<std::string> words;  // the command and its plain arguments
  std::string listen = "127.0.0.1:8080";
  std::string data;
  std::string postgres;
  std::string tls_cert, tls_key;
  bool trust_proxy = false;
  unsigned threads = 8;
  ServiceLimits limits;
};

unsigned number_of(const std::string& option, const std::string& text) {
  try {
    size_t used = 0;
    unsigned long value = std::stoul(text, &used);
    if (used == text.size() && value <= 1'000'000) return static_cast<unsigned>(value);
  } catch (const std::exception&) {
  }
  usage(option + " needs a whole number");
}

Options parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) usage(arg + " needs a value");
      return argv[++i];
    };
    if (arg == "--listen") o.listen = value();
    else if (arg == "--data") o.data = value();
    else if (arg == "--postgres") o.postgres = value();
    else if (arg == "--tls-cert") o.tls_cert = value();
    else if (arg == "--tls-key") o.tls_key = value();
    else if (arg == "--trust-proxy") o.trust_proxy = true;
    else if (arg == "--threads") o.threads = std::max(1u, number_of(arg, value()));
    else if (arg == "--ticket-rate") o.limits.ticket_per_minute = number_of(arg, value());
    else if (arg == "--address-rate") o.limits.address_per_minute = number_of(arg, value());
    else if (arg == "--form-rate") o.limits.forms_per_minute = number_of(arg, value());
    else if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      std::exit(0);
    } else if (arg.starts_with("--")) usage("unknown option " + arg);
    else o.words.push_back(arg);
  }
  if (!o.data.empty() && !o.postgres.empty()) usage("--data and --postgres exclude each other");
  if (o.tls_cert.empty() != o.tls_key.empty()) usage("--tls-cert and --tls-key go together");
  return o;
}

std::unique_ptr<LinkStore> open_store(const Options& o) {
  try {
    if (!o.postgres.empty()) return LinkStore::open_postgres(o.postgres, static_cast<int>(o.threads));
    std::filesystem::path file = o.data;
    if (file.empty()) {
      // Beside the program's own data, so one machine's user keeps both in one place.
      auto dir = calcora::app_data_dir();
      if (!dir) fail("no data folder (neither XDG_DATA_HOME nor HOME is set): give --data FILE");
      file = *dir / "calcora-link.db";
    }
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path());
    return LinkStore::open_sqlite(file.string());
  } catch (const std::exception& e) {
    fail(std::string("cannot open the database: ") + e.what());
  }
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) fail("cannot read " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

int ticket_command(const Options& o) {
  if (o.words.size() < 2) usage("ticket needs add, list or revoke");
  const std::string& what = o.words[1];
  auto store = open_store(o);
  if (what == "list" && o.words.size() == 2) {
    for (const auto& t : store->tickets())
      std::cout << t.name << "\t" << t.created_at << "\t" << (t.revoked_at ? "отозван " + *t.revoked_at : "действует")
                << "\n";
    return 0;
  }
  if (o.words.size() != 3) usage("ticket " + what + " needs one NAME");
  const std::string& name = o.words[2];
  if (what == "add") {
    if (name.empty() || name.size() > 200) usage("NAME must be 1 to 200 characters");
    std::string key = new_ticket_key();
    if (!store->add_ticket(name, ticket_key_hash(key), calcora::utc_now_stamp()))
      fail("a ticket named \"" + name + "\" exists already");
    std::cout << "Ключ доступа для «" << name << "»; вставьте его в настройки программы («Ссылки»):\n" << key << std::endl;
    return 0;
  }
  if (what == "revoke") {
    if (!store->revoke_ticket(name, calcora::utc_now_stamp())) fail("no live ticket named \"" + name + "\"");
    std::cout << "Ключ «" << name << "» отозван.\n";
    return 0;
  }
  usage("unknown ticket command " + what);
}

int serve_command(const Options& o) {
  auto colon = o.listen.rfind(':');
  if (colon == std::string::npos) usage("--listen needs HOST:PORT");
  std::string host = o.listen.substr(0, colon);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
  ServerOptions server;
  server.host = host;
  server.port = static_cast<int>(number_of("--listen", o.listen.substr(colon + 1)));
  if (server.port > 65535) usage("--listen needs a port from 0 to 65535");
  server.threads = o.threads;
  server.max_body_bytes = o.limits.max_body_bytes;
  if (!o.tls_cert.empty()) {
    server.tls_cert_pem = read_file(o.tls_cert);
    server.tls_key_pem = read_file(o.tls_key);
  }

  // Stop on SIGINT or SIGTERM: blocked here, before any thread starts, and awaited below.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  auto store = open_store(o);
  Service service(*store, {o.limits, o.trust_proxy});
  HttpServer http(server, [&service](const Request& r) { return service.handle(r); });
  auto [port, problem] = http.bind();
  if (port < 0) fail("cannot listen on " + o.listen + ": " + problem);
  if (!http.start(problem)) fail(problem);
  std::string shown_host = host.find(':') != std::string::npos ? "[" + host + "]" : host;
  std::cout << "Calcora link: " << (server.tls_cert_pem ? "https" : "http") << "://" << shown_host << ":" << port
            << std::endl;
  std::cout << "Storage: " << (o.postgres.empty() ? "SQLite" : "PostgreSQL") << std::endl;
  int signal_number = 0;
  sigwait(&stop_signals, &signal_number);
  http.stop();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options o = parse(argc, argv);
  if (o.words.empty()) usage("a command is needed");
  if (o.words[0] == "serve" && o.words.size() == 1) return serve_command(o);
  if (o.words[0] == "ticket") return ticket_command(o);
  usage("unknown command " + o.words[0]);
}
