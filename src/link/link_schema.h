// The link service's schema: numbered steps, the same for SQLite and PostgreSQL apart from
// how an increasing id is spelt. A step, once released, is never edited; a change is a new step.
#pragma once

#include "link/sql_connection.h"

namespace calcora::link {

// Brings the database up to the newest step; safe to run from several instances at once.
// Returns the version the database has afterwards.
int migrate(SqlConnection& connection);

// The newest step this program knows.
int newest_schema_version();

}  // namespace calcora::link
