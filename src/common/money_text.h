// Numbers as the page shows them to people, for documents the native side renders itself.
#pragma once

#include <string>

namespace calcora {

// The money form: rounded half away from zero to at most two decimals, decimal comma, plain
// spaces between thousands, no trailing zeros: 1 234 567,5 and 0,1 and -20. Not finite: "0".
std::string money_text(double value);

// A number as a script would print it: shortest text that reads back as the same value, a
// point, exponent form only below 1e-6 and from 1e21 on (2.5, 0.1, 1e+21, 1.5e-7).
std::string plain_number_text(double value);

}  // namespace calcora
