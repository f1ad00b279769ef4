// Each subsystem registers its own commands; register_all_commands calls them all.
#pragma once

namespace calcora {

class CommandRegistry;

void register_system_commands(CommandRegistry& registry);    // open_external_url, write_utf8
void register_store_commands(CommandRegistry& registry);     // estimates, catalog, name memory
void register_calc_commands(CommandRegistry& registry);      // evaluate_formula_cmd
void register_exchange_commands(CommandRegistry& registry);  // workbooks, CSV, exchange file, backup
void register_pdf_commands(CommandRegistry& registry);       // export_estimate_pdf
void register_proposal_commands(CommandRegistry& registry);  // proposal link service
void register_examples_commands(CommandRegistry& registry);  // merge_standard_catalog_cmd (the shell's)
void register_save_place_commands(CommandRegistry& registry);  // documents_folder, file_exists (the shell's)

}  // namespace calcora
