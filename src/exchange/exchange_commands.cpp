// Registers the commands of this subsystem with the dispatcher: workbooks, CSV, the exchange
// file and the full backup. The work itself lives in the files beside this one.
#include "commands/dispatcher.h"
#include "commands/registration.h"
#include "common/file_io.h"
#include "exchange/clcx_file.h"
#include "store/estimate_repository.h"

namespace calcora {

namespace {

SaveEstimatePayload read_estimate_locked(AppState& state, int64_t id) {
  return state.with_db([&](Database& db) { return read_estimate(db, id); });
}

}  // namespace

void register_exchange_commands(CommandRegistry& registry) {
  registry.add("export_estimate_clcx", [](AppState& s, const Args& a) -> Json {
    const auto id = a.required<int64_t>("id");
    const auto path = a.required<std::string>("path");
    write_file_atomically(path, encode_clcx(read_estimate_locked(s, id)));
    return nullptr;
  });
  registry.add("import_estimate_clcx", [](AppState& s, const Args& a) -> Json {
    const auto path = a.required<std::string>("path");
    ImportedEstimate estimate = decode_clcx(read_whole_file(path, kClcxMaxContentBytes));
    return s.with_db([&](Database& db) { return to_json(read_estimate(db, insert_imported_estimate(db, estimate))); });
  });
}

}  // namespace calcora
