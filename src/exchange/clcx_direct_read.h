// Reads an exchange file's unpacked JSON straight into the estimate's records while scanning it,
// without building a document first: the import of a file as the program writes it then costs a
// fraction of a document parse. It takes only content it is sure of, and gives nothing for
// anything else (a syntax error, a type or a version other than expected, a missing or repeated
// member, deep nesting, a number the document would hold differently); decode_clcx then reads
// that content through the document, which gives the exact result or error text.
#pragma once

#include <optional>
#include <string>

#include "exchange/imported_estimate.h"

namespace calcora {

// The estimate when the text is well-formed JSON with a supported version and every member of
// the expected type: then exactly what the document reading gives for the same text.
std::optional<ImportedEstimate> read_clcx_directly(const std::string& json_text);

}  // namespace calcora
