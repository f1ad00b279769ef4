// JSON as the command layer uses it: objects keep the order in which keys are written,
// because records go out with a fixed key order.
#pragma once

#include <nlohmann/json.hpp>

namespace calcora {
using Json = nlohmann::ordered_json;
}
