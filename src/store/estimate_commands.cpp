// Registers the estimate commands: list, read, create, save whole, duplicate, delete.
#include "commands/dispatcher.h"
#include "store/estimate_list.h"
#include "store/estimate_repository.h"
#include "store/estimate_writes.h"
#include "store/store_registration.h"

namespace calcora {

void register_estimate_commands(CommandRegistry& registry) {
  registry.add("list_estimates", [](AppState& s, const Args&) -> Json {
    auto summaries = s.with_db([](Database& db) { return list_estimate_summaries(db); });
    Json out = Json::array();
    for (const auto& summary : summaries) out.push_back(to_json(summary));
    return out;
  });

  // A whole estimate is answered as text written line by line: building a document of 10,000
  // lines first and then dumping it took most of an opening's time on the native side.
  registry.add_text("get_estimate", [](AppState& s, const Args& a) {
    auto id = a.required<int64_t>("id");
    return to_json_text(s.with_db([&](Database& db) { return read_estimate(db, id); }));
  });

  registry.add_text("create_estimate", [](AppState& s, const Args& a) {
    auto name = a.required<std::string>("objectName");
    return to_json_text(s.with_db([&](Database& db) { return read_estimate(db, insert_new_estimate(db, name)); }));
  });

  registry.add_text("save_estimate", [](AppState& s, const Args& a) {
    auto payload = a.required<SaveEstimatePayload>("payload");
    return to_json_text(s.with_db([&](Database& db) {
      save_estimate_whole(db, payload);
      return read_estimate(db, payload.estimate.id);
    }));
  });

  registry.add_text("duplicate_estimate", [](AppState& s, const Args& a) {
    auto id = a.required<int64_t>("id");
    // The source is read and the copy written under two separate holds of the lock.
    auto source = s.with_db([&](Database& db) { return read_estimate(db, id); });
    return to_json_text(s.with_db([&](Database& db) { return read_estimate(db, insert_estimate_copy(db, source)); }));
  });

  registry.add("delete_estimate", [](AppState& s, const Args& a) -> Json {
    auto id = a.required<int64_t>("id");
    s.with_db([&](Database& db) { delete_estimate_row(db, id); });
    return nullptr;
  });
}

}  // namespace calcora
