// Figures for the estimate PDF: exporting a 100-line estimate with the font streams compressed
// once per process beside compressing both fonts on every export, in the same run, plus the
// floors (compressing the two fonts alone; writing the finished bytes alone).
// Each figure is the median of several interleaved runs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "calc/totals.h"
#include "bench_support.h"
#include "commands/dispatcher.h"
#include "common/file_io.h"
#include "common/utf8_path.h"
#include "export/pdf/embedded_fonts.h"
#include "export/pdf/estimate_listing.h"
#include "export/pdf/pdf_writer.h"
#include "store/estimate_repository.h"

namespace calcora {
namespace {

Json make_line(int i) {
  static const char* kCategories[] = {"work", "material", "equipment"};
  Json l = {{"estimate_id", 0},
            {"sort_order", i},
            {"line_type", i % 20 == 0 ? "section" : (i % 7 == 0 ? "fixed" : "full")},
            {"name", "Кладка перегородок из газобетона, позиция " + std::to_string(i)},
            {"unit", "м²"},
            {"quantity", 1.5 + i % 13},
            {"unit_price", 100.0 + i % 97},
            {"fixed_total", 1200},
            {"category", kCategories[i % 3]}};
  if (i % 10 == 3) l["format_json"] = R"({"font":"Georgia","bold":true})";
  return l;
}

int run() {
  const auto dir = std::filesystem::temp_directory_path() / ("calcora-pdf-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  int status = 0;
  {
    AppState state(dir / "calcora.db", Database::open(dir / "calcora.db"));
    Dispatcher dispatcher(state);
    Json payload = Json::parse(dispatcher.dispatch("create_estimate", {{"objectName", "Дом на Лесной"}}).body);
    payload["lines"] = Json::array();
    for (int i = 0; i < 100; ++i) payload["lines"].push_back(make_line(i));
    payload["footer"]["markup_formula"] = "работы * 0.1";
    auto saved = dispatcher.dispatch("save_estimate", {{"payload", payload}});
    if (!saved.ok) {
      std::fprintf(stderr, "save failed: %s\n", saved.body.c_str());
      return 1;
    }
    const int64_t id = payload["estimate"]["id"].get<int64_t>();
    const auto path = dir / "smeta.pdf";

    // The export as the command runs it, with the font streams chosen by `compression`.
    auto export_with = [&](pdf::FontCompression compression) {
      const auto estimate = state.with_db([&](Database& db) { return read_estimate(db, id); });
      const auto totals = compute_totals(estimate.lines, estimate.footer);
      write_file_atomically(path, pdf::render_pdf(pdf::estimate_document(estimate, totals, "system-ui"), compression));
    };
    std::string bytes;
    auto medians = bench::interleaved_medians(
        15, {
                [&] { export_with(pdf::FontCompression::cached); },
                [&] { export_with(pdf::FontCompression::every_export); },
                [&] {
                  auto out = dispatcher.dispatch("export_estimate_pdf", {{"id", id}, {"path", path_utf8(path)}});
                  if (!out.ok) std::fprintf(stderr, "export failed: %s\n", out.body.c_str());
                },
                [&] {
                  const auto estimate = state.with_db([&](Database& db) { return read_estimate(db, id); });
                  pdf::render_pdf(
                      pdf::estimate_document(estimate, compute_totals(estimate.lines, estimate.footer), "system-ui"));
                },
                [&] {
                  for (auto font : {pdf::FontChoice::sans, pdf::FontChoice::serif})
                    pdf::deflate_font_file(pdf::embedded_font(font).file);
                },
                [&] {
                  if (bytes.empty()) bytes = read_whole_file(path);
                  write_file_atomically(dir / "floor.pdf", bytes);
                },
            });
    std::printf("export of a 100-line estimate (%zu bytes), median of 15:\n", read_whole_file(path).size());
    std::printf("  font streams compressed once per process: %8.2f ms\n", medians[0]);
    std::printf("  both fonts compressed on every export:    %8.2f ms\n", medians[1]);
    std::printf("  speed-up:                                 %8.1fx\n", medians[1] / medians[0]);
    std::printf("  export_estimate_pdf through the dispatcher: %6.2f ms\n", medians[2]);
    std::printf("  of which reading, totals and rendering in memory: %.2f ms\n", medians[3]);
    std::printf("floors: deflate level 6 of both fonts %.2f ms; writing the finished file %.2f ms\n", medians[4],
                medians[5]);
    bench::report_row("export_estimate_pdf (cached font streams, floor = file write)", "100 lines", medians[0], medians[5]);
    bench::report_row("export_estimate_pdf (fonts compressed per export, floor = cached)", "100 lines", medians[1], medians[0]);
    if (medians[1] / medians[0] < 10) status = 2;
  }
  std::filesystem::remove_all(dir);
  return status;
}

}  // namespace
}  // namespace calcora

int main() { return calcora::run(); }
