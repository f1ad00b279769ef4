// The estimate sheet's six columns, shared by the workbook writer and its reader: number, name,
// unit, quantity, price and sum.
#pragma once

#include <cstdint>

namespace calcora {

enum EstimateColumn : uint16_t { kA = 0, kB, kC, kD, kE, kF };

}  // namespace calcora
