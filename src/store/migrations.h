// The numbered schema steps that bring a database of any earlier version to the current one.
#pragma once

namespace calcora {

class Database;

inline constexpr int kSchemaVersion = 11;

// Runs every step above the file's user_version in order, recording each finished step
// at once so that an interrupted upgrade resumes where it stopped. A file from a newer
// schema is left unchanged. Throws DbError; finished steps stay.
void run_migrations(Database& db);

}  // namespace calcora
