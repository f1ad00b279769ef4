// The exchange file: fixed gzip header read by gzip itself, export → import round trip, the
// version probe, catalog links from another database, and hostile files that change nothing.
#include <gtest/gtest.h>

#include <fstream>

#include "exchange/clcx_file.h"
#include "exchange/gzip_codec.h"
#include "exchange_support.h"
#include "pdf_test_support.h"

namespace calcora {
namespace {

Json line(int sort_order, const char* type, const char* name) {
  return Json{{"id", nullptr}, {"estimate_id", 0}, {"sort_order", sort_order}, {"line_type", type},     {"name", name},
              {"unit", "м"},   {"quantity", 2.5},  {"unit_price", 100},        {"fixed_total", nullptr}};
}

void write_bytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

Json minimal_file(uint32_t version, Json rows) {
  return Json{{"version", version},
              {"metadata", {{"object_name", "Баня"}, {"created_at", "x"}, {"updated_at", "y"}}},
              {"columns_template", Json::array()},
              {"rows", std::move(rows)},
              {"footer",
               {{"estimate_id", 9},
                {"materials", 0},
                {"delivery", 0},
                {"advance", 0},
                {"show_materials", false},
                {"show_delivery", false},
                {"show_advance", false}}}};
}

TEST(ClcxFile, RoundTripKeepsEstimateAndGzipAcceptsIt) {
  test::AppFixture app;
  Json created = app.call("create_estimate", {{"objectName", "Дом у озера"}});
  Json payload = created;
  payload["estimate"]["mode"] = "pro";
  payload["estimate"]["mode_mask_json"] = R"({"skuCost":true,"calculators":true,"proposal":false})";
  payload["estimate"]["calc_params_json"] = R"({"room":{"L":4,"W":3.5,"H":2.7,"doors":[{"w":0.9,"h":2,"count":1}]}})";
  payload["estimate"]["kp_json"] = "{\"title\":\"x\"}";
  Json l1 = line(0, "full", "Кабель \"ВВГ\"");
  l1.update({{"category", "material"},
             {"format_json", "{\"bold\":true}"},
             {"sku", "A-1"},
             {"cost_price", 70.5},
             {"name_bold", true}});
  Json l2 = line(1, "quantity_only", "Монтаж");
  l2["formula"] = "стены * 2";
  Json l3 = line(2, "fixed", "Вывоз");
  l3["fixed_total"] = 0.30000000000000004;
  payload["lines"] = Json::array({l1, l2, l3});
  payload["footer"].update({{"materials", 500},
                            {"show_materials", true},
                            {"markup_formula", "работы*0.1"},
                            {"extras_json", R"([{"id":"a","label":"Подъём","amount":300,"enabled":true}])"}});
  Json saved = app.call("save_estimate", {{"payload", payload}});

  const auto path = app.dir / "дом.clcx";
  app.call("export_estimate_clcx", {{"id", saved["estimate"]["id"]}, {"path", path.string()}});
  const std::string bytes = test::read_text(path);
  EXPECT_EQ(bytes.substr(0, 10), std::string("\x1f\x8b\x08\0\0\0\0\0\0\xff", 10));
  if (test::have_tool("gzip")) {
    EXPECT_EQ(std::system(("gzip -t '" + path.string() + "'").c_str()), 0);
  }
  const std::string json_text = gzip_decompress(bytes, 1 << 20);
  EXPECT_EQ(json_text, Json::parse(json_text).dump());  // compact, keys in writing order
  EXPECT_EQ(json_text.substr(0, 24), R"({"version":1,"metadata":)");

  Json imported = app.call("import_estimate_clcx", {{"path", path.string()}});
  EXPECT_NE(imported["estimate"]["id"], saved["estimate"]["id"]);
  EXPECT_EQ(imported["estimate"]["object_name"], "Дом у озера");
  // What the quantity formulas need comes along; the proposal stays with the sender.
  for (const char* key : {"mode", "mode_mask_json", "calc_params_json"})
    EXPECT_EQ(imported["estimate"][key], saved["estimate"][key]) << key;
  EXPECT_TRUE(imported["estimate"]["kp_json"].is_null());
  ASSERT_EQ(imported["lines"].size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    Json a = saved["lines"][i], b = imported["lines"][i];
    for (const char* key : {"id", "estimate_id"}) a.erase(key), b.erase(key);
    EXPECT_EQ(a, b) << i;
  }
  Json fa = saved["footer"], fb = imported["footer"];
  fa.erase("estimate_id"), fb.erase("estimate_id");
  EXPECT_EQ(fa, fb);
}

TEST(ClcxFile, ImportRenumbersLinesAndRewritesLineReferences) {
  test::AppFixture app;
  Json a = line(10, "full", "Стена");
  a["id"] = 501;
  Json b = line(5, "full", "Краска");
  b["formula"] = "line:501.qty*2 + line:999.qty";
  const auto path = app.dir / "refs.clcx";
  write_bytes(path, gzip_compress(minimal_file(0, Json::array({a, b})).dump()));
  Json imported = app.call("import_estimate_clcx", {{"path", path.string()}});
  ASSERT_EQ(imported["lines"].size(), 2u);
  EXPECT_EQ(imported["lines"][0]["sort_order"], 0);
  EXPECT_EQ(imported["lines"][1]["sort_order"], 1);
  const std::string new_id = std::to_string(imported["lines"][0]["id"].get<int64_t>());
  EXPECT_EQ(imported["lines"][1]["formula"], "line:" + new_id + ".qty*2 + line:999.qty");
  // A file written before the mode and the calculators travelled reads as it always did.
  EXPECT_EQ(imported["estimate"]["mode"], "simple");
  EXPECT_TRUE(imported["estimate"]["mode_mask_json"].is_null());
  EXPECT_TRUE(imported["estimate"]["calc_params_json"].is_null());
}

// A colleague's copy: the estimate exported here and imported here and into a fresh database
// keeps its room, its mode and its formulas, and every line reference still names the line at
// the same position.
TEST(ClcxFile, FormulasAndRoomTravelIntoAnyDatabase) {
  test::AppFixture app;
  Json payload = app.call("create_estimate", {{"objectName", "Комната"}});
  payload["estimate"].update({{"mode", "pro"},
                              {"mode_mask_json", R"({"calculators":true})"},
                              {"calc_params_json", R"({"room":{"L":3,"W":4,"H":2.5}})"}});
  payload["lines"] = Json::array({line(0, "full", "Стены"), line(1, "full", "Грунтовка"), line(2, "full", "Краска")});
  payload["lines"][0]["formula"] = "стены";
  Json saved = app.call("save_estimate", {{"payload", payload}});
  auto ref = [&](const Json& lines, size_t i) { return std::to_string(lines[i]["id"].get<int64_t>()); };
  saved["lines"][1]["formula"] = "line:" + ref(saved["lines"], 0) + ".qty * 0.2";
  saved["lines"][2]["formula"] = "line:" + ref(saved["lines"], 0) + ".qty + line:" + ref(saved["lines"], 1) + ".price";
  saved = app.call("save_estimate", {{"payload", saved}});
  const auto path = app.dir / "комната.clcx";
  app.call("export_estimate_clcx", {{"id", saved["estimate"]["id"]}, {"path", path.string()}});

  test::AppFixture fresh;
  for (test::AppFixture* into : {&app, &fresh}) {
    Json got = into->call("import_estimate_clcx", {{"path", path.string()}});
    for (const char* key : {"mode", "mode_mask_json", "calc_params_json"})
      EXPECT_EQ(got["estimate"][key], saved["estimate"][key]) << key;
    ASSERT_EQ(got["lines"].size(), 3u);
    EXPECT_EQ(got["lines"][0]["formula"], "стены");
    EXPECT_EQ(got["lines"][1]["formula"], "line:" + ref(got["lines"], 0) + ".qty * 0.2");
    EXPECT_EQ(got["lines"][2]["formula"],
              "line:" + ref(got["lines"], 0) + ".qty + line:" + ref(got["lines"], 1) + ".price");
  }
}

TEST(ClcxFile, CatalogLinksCheckedAgainstTheLocalCatalog) {
  test::AppFixture app;
  auto add_item = [&](const char* name) {
    return app.state.with_db([&](Database& db) {
      db.prepare("INSERT INTO catalog_items (name, category) VALUES (?1, 'material')").bind(1, name).run();
      return Json(db.last_insert_rowid());
    });
  };
  Json same = add_item("БЕТОН м300");
  Json other = add_item("Гвозди");
  Json brick = add_item("кирпич");
  Json l1 = line(0, "full", "Бетон М300");
  l1["catalog_item_id"] = same;
  Json l2 = line(1, "full", "Кирпич");
  l2["catalog_item_id"] = other;  // the sender's item under this id was something else
  Json l3 = line(2, "full", "Песок");
  l3["catalog_item_id"] = 987654;  // no such item here
  const auto path = app.dir / "links.clcx";
  write_bytes(path, gzip_compress(minimal_file(1, Json::array({l1, l2, l3})).dump()));
  Json imported = app.call("import_estimate_clcx", {{"path", path.string()}});
  ASSERT_EQ(imported["lines"].size(), 3u);
  EXPECT_EQ(imported["lines"][0]["catalog_item_id"], same);
  EXPECT_EQ(imported["lines"][1]["catalog_item_id"], brick);  // linked by its name instead
  EXPECT_TRUE(imported["lines"][2]["catalog_item_id"].is_null());
}

TEST(ClcxFile, HostileFilesFailAndAddNothing) {
  test::AppFixture app;
  Json v2 = minimal_file(2, Json::array());
  v2.erase("footer");  // the rest would not parse: the version is still what is reported
  const std::string plain = minimal_file(1, Json::array()).dump();
  const std::string good = gzip_compress(plain);
  std::string bad_crc = good;
  bad_crc[bad_crc.size() - 8] ^= 0x55;
  struct Case {
    const char* name;
    std::string bytes;
    std::string error;
  };
  const Case cases[] = {
      {"v2", gzip_compress(v2.dump()),
       "Файл сохранён более новой версией Calcora (формат v2, эта версия приложения поддерживает до v1). Обновите "
       "Calcora."},
      {"plain", plain, "invalid gzip header"},
      {"empty", "", "invalid gzip header"},
      {"crc", bad_crc, "corrupt gzip stream does not have a matching checksum"},
      {"truncated", good.substr(0, good.size() / 2), "unexpected end of file"},
      {"noversion", gzip_compress(R"({"metadata":{}})"), "missing field `version`"},
      {"array", gzip_compress("[1]"), "invalid type: sequence, expected struct VersionProbe"},
      {"negative", gzip_compress(R"({"version":-1})"), "invalid value: integer `-1`, expected u32"},
      {"syntax", gzip_compress(R"({"version":1,)"), "parse error"},
      {"noline_type", gzip_compress(minimal_file(1, Json::array({Json{{"estimate_id", 1}, {"sort_order", 0}}})).dump()),
       "missing field `line_type`"},
      {"bomb", gzip_compress(std::string(80 << 20, ' ')), "содержимое файла больше 64 МБ после распаковки"},
  };
  for (const auto& c : cases) {
    const auto path = app.dir / (std::string(c.name) + ".clcx");
    write_bytes(path, c.bytes);
    std::string error = app.fail("import_estimate_clcx", {{"path", path.string()}});
    EXPECT_NE(error.find(c.error), std::string::npos) << c.name << ": " << error;
  }
  EXPECT_EQ(app.count("SELECT COUNT(*) FROM estimates"), 0);
  EXPECT_NE(app.fail("import_estimate_clcx", {{"path", (app.dir / "none.clcx").string()}}).find(test::missing_file_error()),
            std::string::npos);
}

}  // namespace
}  // namespace calcora
