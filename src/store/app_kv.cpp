#include "store/app_kv.h"

#include "store/database.h"

namespace calcora {

std::optional<std::string> kv_get(Database& db, const std::string& key) {
  auto& st = db.cached("SELECT v FROM app_kv WHERE k = ?1");
  st.bind(1, key);
  std::optional<std::string> value;
  if (st.step()) value = st.text(0);
  st.reset();
  return value;
}

void kv_set(Database& db, const std::string& key, const std::string& value) {
  db.cached("INSERT INTO app_kv (k, v) VALUES (?1, ?2) ON CONFLICT(k) DO UPDATE SET v = excluded.v")
      .bind_all(key, value)
      .run();
}

void kv_delete(Database& db, const std::string& key) { db.cached("DELETE FROM app_kv WHERE k = ?1").bind(1, key).run(); }

}  // namespace calcora
