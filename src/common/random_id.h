// Identities for records that the page keys by a text id, made on the native side.
#pragma once

#include <string>

namespace calcora {

// A random version-4 UUID in its usual lower-case form, e.g. "3f0c9a2e-7d41-4b8e-9a65-0c1d2e3f4a5b".
std::string random_uuid();

}  // namespace calcora
