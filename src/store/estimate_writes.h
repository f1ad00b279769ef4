// Writing estimates: create, save whole, duplicate for a new object, delete. Each function
// expects the connection's lock to be held by the caller and throws DbError on failure. Each
// write is whole or not at all: in a transaction of its own, or nested in one the caller has open.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "store/database.h"
#include "store/estimate_records.h"

namespace calcora {

// Inserts an estimate named exactly `object_name` (empty accepted) with a footer row of
// column defaults; returns the new id.
int64_t insert_new_estimate(Database& db, const std::string& object_name);

// Replaces header, lines and footer of the payload's estimate in one transaction; on failure
// nothing is changed. A line keeps its id when that id belonged to a line of this estimate before
// the save, so that quantity formulas referring to it ("line:<id>.qty") stay valid after
// reopening; other lines get new ids.
void save_estimate_whole(Database& db, const SaveEstimatePayload& payload);

// Writes a copy of `source` for a new object ("<name> - новый объект"): quantities of full and
// quantity-only lines start at 0, the footer keeps its amounts and flags but not the markup
// formula or the extra sums. Returns the new id.
int64_t insert_estimate_copy(Database& db, const SaveEstimatePayload& source);

// Inserts copies of `lines` into estimate `estimate_id` with new ids, in order, then rewrites
// the copies' quantity formulas so that "line:<id>." names the copy of that line. `adjust` is
// given each line's copy (the original is its second argument) to change what is to be written:
// a reset quantity, a sort order, a checked catalog link.
void insert_line_copies(Database& db, int64_t estimate_id, const std::vector<EstimateLine>& lines,
                        const std::function<void(EstimateLine& copy, const EstimateLine& original)>& adjust);

// Deletes the estimate with its lines and footer; a missing id is no error.
void delete_estimate_row(Database& db, int64_t id);

}  // namespace calcora
