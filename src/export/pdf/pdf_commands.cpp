// Registers the commands of this subsystem with the dispatcher.
#include "calc/totals.h"
#include "commands/dispatcher.h"
#include "commands/registration.h"
#include "export/pdf/estimate_listing.h"
#include "export/pdf/pdf_writer.h"
#include "store/estimate_repository.h"

namespace calcora {

void register_pdf_commands(CommandRegistry& registry) {
  // Prints the stored estimate, not the page's unsaved state; the file is rendered after
  // the database lock is released.
  registry.add("export_estimate_pdf", [](AppState& state, const Args& args) -> Json {
    const auto id = args.required<int64_t>("id");
    const auto path = args.required<std::filesystem::path>("path");
    const auto print_font = args.optional<std::string>("printFont");
    const SaveEstimatePayload estimate = state.with_db([&](Database& db) { return read_estimate(db, id); });
    const EstimateTotals totals = compute_totals(estimate.lines, estimate.footer);
    pdf::write_pdf(pdf::estimate_document(estimate, totals, print_font.value_or(std::string(pdf::kDefaultPrintFont))),
                   path);
    return nullptr;
  });
}

}  // namespace calcora
