// The general key-value table of the database (text keys, text values).
#pragma once

#include <optional>
#include <string>

namespace calcora {

class Database;

std::optional<std::string> kv_get(Database& db, const std::string& key);
void kv_set(Database& db, const std::string& key, const std::string& value);
void kv_delete(Database& db, const std::string& key);

}  // namespace calcora
