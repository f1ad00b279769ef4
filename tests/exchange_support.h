// Helpers of the exchange tests: hand-made zip archives for hostile workbooks, LibreOffice as a
// real peer that converts files (skipped where it is not installed), and the command fixture.
#pragma once

#include <gtest/gtest.h>
#include <zip.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "command_fixture.h"

namespace calcora::test {

// Writes a zip archive holding the given entries (name → content).
inline void write_zip(const std::filesystem::path& path, const std::map<std::string, std::string>& entries) {
  int err = 0;
  zip_t* zip = zip_open(path_utf8(path).c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
  ASSERT_NE(zip, nullptr);
  for (const auto& [name, content] : entries) {
    void* copy = std::malloc(content.size() + 1);
    std::memcpy(copy, content.data(), content.size());
    zip_source_t* src = zip_source_buffer(zip, copy, content.size(), 1);
    ASSERT_GE(zip_file_add(zip, name.c_str(), src, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8), 0);
  }
  ASSERT_EQ(zip_close(zip), 0);
}

// The smallest workbook that names one sheet, with the given sheet and shared-strings XML.
inline std::map<std::string, std::string> minimal_workbook(const std::string& sheet_data,
                                                           const std::string& shared_strings = "") {
  const std::string ns = R"(xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main")";
  const std::string rns = R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships")";
  const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
  std::map<std::string, std::string> entries = {
      {"_rels/.rels",
       "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
       "<Relationship Id=\"rId1\" Type=\"" +
           rel +
           "officeDocument\" Target=\"xl/workbook.xml\"/>"
           "</Relationships>"},
      {"xl/workbook.xml", "<workbook " + ns + " " + rns +
                              "><sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/>"
                              "</sheets></workbook>"},
      {"xl/_rels/workbook.xml.rels",
       "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
       "<Relationship Id=\"rId1\" Type=\"" +
           rel +
           "worksheet\" Target=\"worksheets/sheet1.xml\"/>"
           "<Relationship Id=\"rId2\" Type=\"" +
           rel +
           "sharedStrings\" Target=\"sharedStrings.xml\"/>"
           "</Relationships>"},
      {"xl/worksheets/sheet1.xml", "<worksheet " + ns + "><sheetData>" + sheet_data + "</sheetData></worksheet>"},
  };
  if (!shared_strings.empty()) entries["xl/sharedStrings.xml"] = "<sst " + ns + ">" + shared_strings + "</sst>";
  return entries;
}

inline bool have_soffice() { return std::system("command -v soffice >/dev/null 2>&1") == 0; }

// Converts `input` with LibreOffice into `out_dir` and returns the produced file, or nothing.
// Each call uses its own profile folder so that parallel runs do not collide. With
// `recalculate` the profile asks LibreOffice to recompute every formula of an .xlsx on loading;
// by default it shows the stored results of files that name Excel as their writer.
inline std::optional<std::filesystem::path> soffice_convert(const std::filesystem::path& input,
                                                            const std::string& convert_args,
                                                            const std::filesystem::path& out_dir,
                                                            const std::string& out_extension,
                                                            bool recalculate = true) {
  std::filesystem::create_directories(out_dir);
  const std::filesystem::path profile = out_dir / "lo-profile";
  std::filesystem::create_directories(profile / "user");
  if (recalculate)
    std::ofstream(profile / "user" / "registrymodifications.xcu")
      << R"(<?xml version="1.0" encoding="UTF-8"?>)"
      << R"(<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema">)"
      << R"(<item oor:path="/org.openoffice.Office.Calc/Formula/Load"><prop oor:name="OOXMLRecalcMode" oor:op="fuse">)"
      << "<value>0</value></prop></item></oor:items>";
  const std::string cmd = "soffice -env:UserInstallation=file://" + profile.string() + " --headless " + convert_args +
                          " --outdir '" + out_dir.string() + "' '" + input.string() + "' >/dev/null 2>&1";
  if (std::system(cmd.c_str()) != 0) return std::nullopt;
  auto out = out_dir / (input.stem().string() + "." + out_extension);
  if (!std::filesystem::exists(out)) return std::nullopt;
  return out;
}

}  // namespace calcora::test

namespace calcora::test {

// One entry of a zip archive as text ("" when missing).
inline std::string read_zip_entry(const std::filesystem::path& archive, const std::string& name) {
  int err = 0;
  zip_t* zip = zip_open(path_utf8(archive).c_str(), ZIP_RDONLY, &err);
  if (!zip) return "";
  std::string out;
  if (zip_file_t* f = zip_fopen(zip, name.c_str(), 0)) {
    char buf[65536];
    zip_int64_t n;
    while ((n = zip_fread(f, buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(n));
    zip_fclose(f);
  }
  zip_discard(zip);
  return out;
}

// Splits CSV text into records of fields; quoted fields may hold the separator and doubled quotes.
inline std::vector<std::vector<std::string>> parse_csv(const std::string& text, char sep) {
  std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
        rows.back().back() += '"', ++i;
      else if (c == '"')
        quoted = false;
      else
        rows.back().back() += c;
    } else if (c == '"') {
      quoted = true;
    } else if (c == sep) {
      rows.back().emplace_back();
    } else if (c == '\n') {
      rows.emplace_back(1);
    } else if (c != '\r') {
      rows.back().back() += c;
    }
  }
  if (rows.back().size() == 1 && rows.back()[0].empty()) rows.pop_back();
  return rows;
}

}  // namespace calcora::test
