// The extra sums of a footer as the exports print them, one row per enabled item.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace calcora {

inline constexpr const char* kDefaultExtraLabel = "Доп. сумма";

// Labels of the workbook's footer block, in the order it prints them; the estimate import
// finds the block by them.
inline constexpr const char* kWorksLabel = "Работы";
inline constexpr const char* kMaterialsLabel = "Материалы";
inline constexpr const char* kEquipmentLabel = "Техника";
inline constexpr const char* kDeliveryLabel = "Доставка";
inline constexpr const char* kMarkupLabel = "Наценка";
inline constexpr const char* kGrandTotalLabel = "Общий итог";
inline constexpr const char* kAdvanceLabel = "Аванс";
inline constexpr const char* kBalanceLabel = "Остаток";

struct PrintedExtra {
  std::string label;  // the item's label when it is a text, otherwise "Доп. сумма"
  double amount = 0;  // the item's amount when it is a number, otherwise 0
  int index = 0;      // the item's position in the list
};

// The items of `extras_json` whose `enabled` is not the boolean false, in list order. Absent
// text gives no rows; text that is not a JSON array gives no rows either (not an error).
std::vector<PrintedExtra> printed_extras(const std::optional<std::string>& extras_json);

// True when the footer's markup formula is present and not blank.
bool has_markup_formula(const std::optional<std::string>& markup_formula);

}  // namespace calcora
