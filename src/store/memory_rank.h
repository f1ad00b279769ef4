// The name suggestions' order: the full-text index's own best-match score (bm25), computed
// with each name's word count handed in by the query instead of looked up one row at a time.
#pragma once

#include <sqlite3.h>

namespace calcora {

// Adds `memory_rank(catalog_fts, docsize)` to the full-text tables of this connection. It gives
// exactly what `bm25(catalog_fts)` gives for the same row; `docsize` is the row's `sz` from the
// index's size table (the word count as a varint), or null to have the index look it up.
void register_memory_rank(sqlite3* db);

}  // namespace calcora
