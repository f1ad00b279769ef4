// Catalog workbooks: the three import layouts, matching by SKU and name, the CSV rules, the
// export read back, the bulk path that sets the index triggers aside, and the examples folder.
#include <gtest/gtest.h>

#include <fstream>

#include "exchange/catalog_workbook.h"
#include "exchange/cell_values.h"
#include "exchange/number_text.h"
#include "exchange/xlsx_reader.h"
#include "exchange_support.h"
#include "store/seed.h"

namespace calcora {
namespace {

void write_text(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

void add_item(test::AppFixture& app, const char* name, const char* sku = nullptr, double price = 1) {
  app.state.with_db([&](Database& db) {
    db.prepare("INSERT INTO catalog_items (name, category, sku, default_price) VALUES (?1, 'work', ?2, ?3)")
        .bind_all(name, sku ? std::optional<std::string>(sku) : std::nullopt, price)
        .run();
  });
}

Json item_named(test::AppFixture& app, const std::string& name) {
  for (const auto& item : app.call("list_catalog", Json::object()))
    if (item["name"] == name) return item;
  return nullptr;
}

TEST(CatalogImport, PriceListMatchesBySkuThenName) {
  test::AppFixture app;
  add_item(app, "Старое имя", "A1");
  add_item(app, "Бетон М300");
  const auto path = app.dir / "прайс.CSV";
  write_text(path,
             "Артикул;Наименование;Ед;Цена;Себестоимость;Цена\n"
             "A1;Кабель ВВГ 3х2,5;м;85,5;60;999\n"
             ";БЕТОН м300; м3 ;5200;4100\n"
             ";;шт;1\n"
             "B2;Гвоздь;кг;100\n"
             "B2;Гвоздь строительный;кг;120;абв\n"
             ";\"Труба; ПНД \"\"32\"\"\";м;;\n");
  EXPECT_EQ(app.call("import_catalog_xlsx", {{"path", path.string()}}), Json::array({4, 1}));
  Json updated = item_named(app, "Кабель ВВГ 3х2,5");  // found by SKU, name changed
  EXPECT_EQ(updated["sku"], "A1");
  EXPECT_EQ(updated["default_price"], 85.5);
  EXPECT_EQ(updated["cost_price"], 60);
  EXPECT_EQ(updated["category"], "work");  // no category column: the item keeps its own
  Json by_name = item_named(app, "БЕТОН м300");
  EXPECT_EQ(by_name["unit"], "м3");
  EXPECT_EQ(by_name["default_price"], 5200);
  EXPECT_TRUE(item_named(app, "Гвоздь").is_null());
  EXPECT_TRUE(item_named(app, "Гвоздь строительный")["cost_price"].is_null());
  EXPECT_TRUE(item_named(app, "Труба; ПНД \"32\"")["default_price"].is_null());
  EXPECT_EQ(app.count("SELECT COUNT(*) FROM catalog_items"), 4);
  // The index follows the renamed item.
  EXPECT_EQ(app.count("SELECT COUNT(*) FROM catalog_fts WHERE catalog_fts MATCH 'кабель'"), 1);
  EXPECT_EQ(app.count("SELECT COUNT(*) FROM catalog_fts WHERE catalog_fts MATCH 'старое'"), 0);
}

TEST(CatalogImport, LayoutsAndHeaders) {
  struct Case {
    const char* what;
    std::string csv;
    Json result;
    std::vector<std::string> names;  // catalog afterwards, by name
  };
  const Case cases[] = {
      {"a header word followed by more text is not recognised",
       "Наименование;Цена, руб.\nДоска;10\n",
       {1, 0},
       {"Доска|-"}},
      {"capitals and blanks around a header word",
       "\xEF\xBB\xBF  НАИМЕНОВАНИЕ ;ЦЕНА \nДоска;10\n",
       {1, 0},
       {"Доска|10"}},
      {"ё in a header", "Наименование;Себестоимость;Продажа\nДоска;5;10\n", {1, 0}, {"Доска|10"}},
      {"plain list, existing names skipped",
       "Штукатурка стен\n\n  \nгрунтовка\nГРУНТОВКА\n",
       {1, 2},
       {"Грунтовка|1", "Штукатурка стен|-"}},
      {"commas and semicolons: the separator is ;", "a,b;c\nd,e;f\n", {2, 0}, {"a,b|-", "d,e|-", "Грунтовка|1"}},
      {"a price or cost beyond a trillion skips its row; the trillion itself is taken",
       "Наименование;Цена;Себестоимость\nДоска;99999999999999999999;1\nБрус;10;-1000000000001\n"
       "Кран;1000000000000;\nБалка;12,5;\n",
       {2, 2},
       {"Балка|12.5", "Кран|1000000000000"}},
  };
  for (const auto& c : cases) {
    test::AppFixture app;
    add_item(app, "Грунтовка");
    if (std::string(c.what).rfind("plain", 0) != 0 && std::string(c.what).rfind("commas", 0) != 0)
      app.state.with_db([](Database& db) { db.exec("DELETE FROM catalog_items"); });
    write_text(app.dir / "list.csv", c.csv);
    EXPECT_EQ(app.call("import_catalog_xlsx", {{"path", (app.dir / "list.csv").string()}}), c.result) << c.what;
    std::vector<std::string> names;
    for (const auto& item : app.call("list_catalog", Json::object()))
      names.push_back(item["name"].get<std::string>() + "|" +
                      (item["default_price"].is_null() ? "-" : shortest_decimal(item["default_price"])));
    EXPECT_EQ(names, c.names) << c.what;
  }
}

// A supplier's CSV price list opens with a title, a date or a blank line above its header row;
// the title may hold any separator, fields may hold the others in quotes.
TEST(CatalogImport, CsvPriceListsBelowATitle) {
  struct Case {
    const char* what;
    std::string csv;
    Json result;
    std::vector<std::string> items;  // name|unit|price|sku, by name
  };
  const Case cases[] = {
      {"a title with a comma, a blank line, then ;",
       "ООО «Стройбаза», прайс на 01.12\n\nНаименование;Ед;Цена\nПесок речной;т;1 250\nЩебень гранитный;т;2100\n",
       {2, 0},
       {"Песок речной|т|-|-", "Щебень гранитный|т|2100|-"}},
      {"a title without a comma",
       "Прайс на 01.12\nНаименование;Ед;Цена\nПесок речной;т;1250\n;т;5\n",
       {1, 1},
       {"Песок речной|т|1250|-"}},
      {"a title with a semicolon above a , header, quoted commas",
       "Стройбаза; склад №2\r\nName,Unit,Price\r\n\"Кабель ВВГ 3х2,5\",м,\"85,5\"\r\nДоска,шт,10\r\n",
       {2, 0},
       {"Доска|шт|10|-", "Кабель ВВГ 3х2,5|м|85.5|-"}},
      {"tabs below a title holding ; and ,",
       "Прайс; опт, розница\nАртикул\tНаименование\tЦена\nA-1\t\"Труба; ПНД, 32\"\t120\n",
       {1, 0},
       {"Труба; ПНД, 32|-|120|A-1"}},
      {"tabs from the first line", "Наименование\tЕд\nДоска\tшт\n", {1, 0}, {"Доска|шт|-|-"}},
      {"a quoted title spanning two lines",
       "\"Прайс\nНаименование;Цена\"\nНаименование;Цена\nДоска;10\n",
       {1, 0},
       {"Доска|-|10|-"}},
      {"the header as the tenth record",
       "1\n2\n3\n4\n5\n6\n7\n8\n9\nНаименование;Цена\nДоска;10\n",
       {1, 0},
       {"Доска|-|10|-"}},
      {"no header: a plain list as before", "Прайс на 01.12\nДоска\n", {2, 0}, {"Доска|-|-|-", "Прайс на 01.12|-|-|-"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test::AppFixture app;
    write_text(app.dir / "прайс.csv", c.csv);
    EXPECT_EQ(app.call("import_catalog_xlsx", {{"path", (app.dir / "прайс.csv").string()}}), c.result);
    std::vector<std::string> items;
    auto text = [](const Json& v) {
      return v.is_null() ? std::string("-") : v.is_string() ? v.get<std::string>() : shortest_decimal(v.get<double>());
    };
    for (const auto& item : app.call("list_catalog", Json::object()))
      items.push_back(text(item["name"]) + "|" + text(item["unit"]) + "|" + text(item["default_price"]) + "|" +
                      text(item["sku"]));
    EXPECT_EQ(items, c.items);
  }
}

TEST(CatalogImport, ReadsTheProgramsOwnWorkbooks) {
  test::AppFixture app;
  // The estimate workbook: lines become positions; known names are skipped, a fixed 0 ignored.
  add_item(app, "монтаж розеток");
  Json lines = Json::array(
      {{{"line_type", "full"}, {"name", "Монтаж розеток"}, {"unit", "шт"}, {"quantity", 2}, {"unit_price", 100}},
       {{"line_type", "full"}, {"name", "Кабель"}, {"unit", "м"}, {"quantity", 3}, {"unit_price", 50}},
       {{"line_type", "quantity_only"}, {"name", "Гофра"}, {"unit", "м"}, {"quantity", 3}},
       {{"line_type", "fixed"}, {"name", "Вывоз"}, {"fixed_total", 900}},
       {{"line_type", "fixed"}, {"name", "Ноль"}, {"fixed_total", 0}}});
  Json saved = app.make_estimate("Смета", lines);
  const auto estimate_book = app.dir / "смета.xlsx";
  app.call("export_estimate_xlsx", {{"id", saved["estimate"]["id"]}, {"path", estimate_book.string()}});
  EXPECT_EQ(app.call("import_catalog_xlsx", {{"path", estimate_book.string()}}), Json::array({3, 1}));
  EXPECT_EQ(item_named(app, "Кабель")["default_price"], 50);
  EXPECT_EQ(item_named(app, "Гофра")["line_type"], "quantity_only");
  EXPECT_EQ(item_named(app, "Вывоз")["line_type"], "fixed");
  EXPECT_EQ(item_named(app, "Вывоз")["default_price"], 900);
  EXPECT_TRUE(item_named(app, "Ноль").is_null());

  // The catalog workbook: sorted by byte order, labels for type and category.
  add_item(app, "beton");
  add_item(app, "Zeta");
  const auto catalog_book = app.dir / "справочник.xlsx";
  app.call("export_catalog_xlsx", {{"path", catalog_book.string()}});
  SheetArea area = read_first_sheet(catalog_book);
  const std::vector<std::vector<std::string>> expected = {{"Наименование", "Ед.изм.", "Цена", "Тип", "Категория"},
                                                          {"Zeta", "-", "1", "Полная", "Работа"},
                                                          {"beton", "-", "1", "Полная", "Работа"},
                                                          {"Вывоз", "-", "900", "Фикс. сумма", "Материал"},
                                                          {"Гофра", "м", "-", "Без цены", "Материал"},
                                                          {"Кабель", "м", "50", "Полная", "Материал"},
                                                          {"монтаж розеток", "-", "1", "Полная", "Работа"}};
  ASSERT_EQ(area.row_count(), expected.size());
  for (size_t r = 0; r < expected.size(); ++r)
    for (size_t c = 0; c < 5; ++c) EXPECT_EQ(cell_text(area.at(r, c)).value_or("-"), expected[r][c]) << r << c;

  // Read back into an empty catalog: a price list by its "Наименование" header, with its units,
  // types and categories.
  app.state.with_db([](Database& db) { db.exec("DELETE FROM catalog_items"); });
  EXPECT_EQ(app.call("import_catalog_xlsx", {{"path", catalog_book.string()}}), Json::array({6, 0}));
  EXPECT_EQ(item_named(app, "Гофра")["unit"], "м");
  EXPECT_EQ(item_named(app, "Гофра")["line_type"], "quantity_only");
}

TEST(CatalogImport, RefusedFilesChangeNothing) {
  test::AppFixture app;
  add_item(app, "Бетон");
  write_text(app.dir / "cp1251.csv", "\xcd\xe0\xe8\xec\xe5\xed\xee\xe2\xe0\xed\xe8\xe5;\xd6\xe5\xed\xe0\n");
  EXPECT_EQ(app.fail("import_catalog_xlsx", {{"path", (app.dir / "cp1251.csv").string()}}),
            "stream did not contain valid UTF-8");
  write_text(app.dir / "broken.xlsx", "PK\x03\x04 обрыв");
  EXPECT_NE(app.fail("import_catalog_xlsx", {{"path", (app.dir / "broken.xlsx").string()}}).find("не читается"),
            std::string::npos);
  // A database refusal on the last row rolls back the update and the insert before it.
  app.state.with_db([](Database& db) {
    db.exec(
        "CREATE TRIGGER refuse BEFORE INSERT ON catalog_items WHEN new.name = 'Отказ' "
        "BEGIN SELECT RAISE(ABORT, 'refused'); END");
  });
  write_text(app.dir / "refused.csv", "name;price\nБЕТОН;77\nНовая;1\nОтказ;2\n");
  EXPECT_EQ(app.fail("import_catalog_xlsx", {{"path", (app.dir / "refused.csv").string()}}), "refused");
  EXPECT_EQ(app.count("SELECT COUNT(*) FROM catalog_items"), 1);
  EXPECT_EQ(item_named(app, "Бетон")["default_price"], 1);
}

TEST(CatalogImport, LargeImportLeavesTheSameIndexAndTriggers) {
  test::AppFixture app;
  std::string csv = "Наименование;Цена\n";
  for (int i = 0; i < 5000; ++i) csv += "Позиция номер " + std::to_string(i) + ";" + std::to_string(i) + "\n";
  write_text(app.dir / "big.csv", csv);
  EXPECT_EQ(app.call("import_catalog_xlsx", {{"path", (app.dir / "big.csv").string()}}), Json::array({5000, 0}));
  EXPECT_EQ(app.count("SELECT COUNT(*) FROM sqlite_master WHERE type = 'trigger' AND tbl_name = 'catalog_items'"), 3);
  app.state.with_db([](Database& db) {
    db.exec("INSERT INTO catalog_fts(catalog_fts, rank) VALUES('integrity-check', 1)");
    db.exec("INSERT INTO catalog_items (name, category) VALUES ('Уникальнейшее', 'work')");
  });
  EXPECT_EQ(app.count("SELECT COUNT(*) FROM catalog_fts WHERE catalog_fts MATCH '4999'"), 1);
  EXPECT_EQ(app.count("SELECT COUNT(*) FROM catalog_fts WHERE catalog_fts MATCH 'уникальнейшее'"), 1);
}

TEST(CatalogExamples, SeedingReadsTheExamplesWorkbooks) {
  test::AppFixture app;
  add_item(app, "Штукатурка");
  add_item(app, "Кабель ВВГ");
  const auto examples = app.dir / "examples";
  std::filesystem::create_directories(examples);
  app.call("export_catalog_xlsx", {{"path", (examples / "мой.xlsx").string()}});
  write_text(examples / "битый.xlsx", "не книга");
  auto entries = catalog_workbook_entries(examples / "мой.xlsx");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, "Кабель ВВГ");
  EXPECT_EQ(entries[0].price, 1);
  EXPECT_EQ(entries[0].category, "work");  // the workbook's own category column
  app.state.with_db([&](Database& db) { seed_catalog(db, examples, catalog_workbook_entries); });
  EXPECT_EQ(app.count("SELECT COUNT(*) FROM catalog_items"), 2);
}

}  // namespace
}  // namespace calcora
