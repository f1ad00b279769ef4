// Registers the commands of this subsystem with the dispatcher: workbooks, CSV, the exchange
// file and the full backup. The work itself lives in the files beside this one.
#include "calc/totals.h"
#include "commands/dispatcher.h"
#include "commands/registration.h"
#include "common/file_io.h"
#include "exchange/backup.h"
#include "exchange/catalog_import.h"
#include "exchange/catalog_workbook.h"
#include "exchange/clcx_file.h"
#include "exchange/estimate_csv.h"
#include "exchange/estimate_workbook.h"
#include "exchange/estimate_workbook_import.h"
#include "exchange/workbook_carrier.h"
#include "store/estimate_repository.h"

namespace calcora {

namespace {

SaveEstimatePayload read_estimate_locked(AppState& state, int64_t id) {
  return state.with_db([&](Database& db) { return read_estimate(db, id); });
}

}  // namespace

void register_exchange_commands(CommandRegistry& registry) {
  registry.add("export_estimate_xlsx", [](AppState& s, const Args& a) -> Json {
    const auto id = a.required<int64_t>("id");
    const auto path = a.required<std::filesystem::path>("path");
    const SaveEstimatePayload estimate = read_estimate_locked(s, id);
    write_estimate_workbook(estimate, compute_totals(estimate.lines, estimate.footer), path);
    return nullptr;
  });
  registry.add("export_estimate_csv", [](AppState& s, const Args& a) -> Json {
    const auto id = a.required<int64_t>("id");
    const auto path = a.required<std::filesystem::path>("path");
    const SaveEstimatePayload estimate = read_estimate_locked(s, id);
    write_file_atomically(path, estimate_csv_text(estimate, compute_totals(estimate.lines, estimate.footer)));
    return nullptr;
  });
  registry.add("import_estimate_xlsx", [](AppState& s, const Args& a) -> Json {
    const auto path = a.required<std::filesystem::path>("path");
    return s.with_db([&](Database& db) {
      const FirstSheetAndNamed book = read_first_sheet_and(path, kCarrierSheetName);
      return insert_imported_estimate(db, estimate_from_sheet(book.first, book.named ? &*book.named : nullptr));
    });
  });
  registry.add("import_catalog_xlsx", [](AppState& s, const Args& a) -> Json {
    const auto path = a.required<std::filesystem::path>("path");
    const auto count = s.with_db([&](Database& db) { return import_catalog_file(db, path); });
    return Json::array({count.loaded, count.skipped});
  });
  registry.add("export_catalog_xlsx", [](AppState& s, const Args& a) -> Json {
    const auto path = a.required<std::filesystem::path>("path");
    s.with_db([&](Database& db) { write_catalog_workbook(db, path); });
    return nullptr;
  });
  registry.add("export_estimate_clcx", [](AppState& s, const Args& a) -> Json {
    const auto id = a.required<int64_t>("id");
    const auto path = a.required<std::filesystem::path>("path");
    write_file_atomically(path, encode_clcx(read_estimate_locked(s, id)));
    return nullptr;
  });
  registry.add_text("import_estimate_clcx", [](AppState& s, const Args& a) {
    const auto path = a.required<std::filesystem::path>("path");
    ImportedEstimate estimate = decode_clcx(read_whole_file(path, kClcxMaxContentBytes));
    const SaveEstimatePayload stored =
        s.with_db([&](Database& db) { return read_estimate(db, insert_imported_estimate(db, estimate)); });
    return to_json_text(stored);
  });
  registry.add("export_all_data", [](AppState& s, const Args& a) -> Json {
    export_backup(s, a.required<std::filesystem::path>("path"), a.optional<bool>("replace").value_or(false));
    return nullptr;
  });
  registry.add("check_backup_file", [](AppState&, const Args& a) -> Json {
    check_backup_file(a.required<std::filesystem::path>("path"));
    return nullptr;
  });
  registry.add("import_all_data", [](AppState& s, const Args& a) -> Json {
    restore_backup(s, a.required<std::filesystem::path>("path"));
    return nullptr;
  });
}

}  // namespace calcora
