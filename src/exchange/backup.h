// The full backup: the whole database copied into one SQLite file, and such a file restored in
// place of the live database without ever leaving the program without a usable one.
#pragma once

#include <filesystem>

#include "commands/app_state.h"

namespace calcora {

inline constexpr const char* kNotBackupMessage = "это не резервная копия Calcora";

// A compacted copy of the live database at `path`. Without `replace` an existing non-empty file is
// refused by the database and left as it is. With it (the user agreed to replace the file) the copy
// is written beside the target and renamed over it, so a failed copy leaves the old file intact.
void export_backup(AppState& state, const std::filesystem::path& path, bool replace = false);

// Checks that the file at `path` is a backup this program can restore, without changing anything:
// fails with "не открыть копию: …" or "это не резервная копия Calcora". The page asks it before
// it asks the user whether to replace the database.
void check_backup_file(const std::filesystem::path& path);

// Replaces the live database with the backup at `path` and reopens it with migrations. Failures:
// "не открыть копию: …", "это не резервная копия Calcora", "не скопировать базу: …", or the
// reopening's database text. On every failure the live database is the one that was there.
void restore_backup(AppState& state, const std::filesystem::path& path);

}  // namespace calcora
