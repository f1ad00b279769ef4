#include "store/seed.h"

namespace calcora {

// The standard catalog arrives with the name-memory work; until then seeding adds nothing.
void seed_catalog(Database& /*db*/, const std::filesystem::path& /*examples_dir*/) {}

}  // namespace calcora
