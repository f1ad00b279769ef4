#include "exchange/xlsx_reader.h"

#include <expat.h>
#include <zip.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string_view>

#include "common/errors.h"
#include "common/utf8_path.h"

namespace calcora {

namespace {

const std::string kNotWorkbookPrefix = "файл не читается как книга Excel: ";
const std::string kDamagedPrefix = "книга Excel повреждена: ";

// ---------------------------------------------------------------------------------------
// The zip container.

class ZipArchive {
 public:
  explicit ZipArchive(const std::filesystem::path& path) {
    int code = 0;
    zip_ = zip_open(path_utf8(path).c_str(), ZIP_RDONLY, &code);
    if (!zip_) {
      zip_error_t error;
      zip_error_init_with_code(&error, code);
      std::string text = zip_error_strerror(&error);
      zip_error_fini(&error);
      throw CommandError(kNotWorkbookPrefix + text);
    }
  }
  ~ZipArchive() { zip_discard(zip_); }
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  // The entry's index, found ignoring letter case (some writers vary it), or nothing.
  std::optional<zip_uint64_t> find(const std::string& name) const {
    zip_int64_t index = zip_name_locate(zip_, name.c_str(), ZIP_FL_NOCASE);
    if (index < 0) return std::nullopt;
    return static_cast<zip_uint64_t>(index);
  }
  zip_t* handle() const { return zip_; }

 private:
  zip_t* zip_ = nullptr;
};

// ---------------------------------------------------------------------------------------
// Streaming XML: element names arrive as their local part, whatever prefix the writer chose.

class XmlHandler {
 public:
  virtual ~XmlHandler() = default;
  virtual void start(std::string_view name, const char** attrs) = 0;
  virtual void end(std::string_view name) = 0;
  virtual void text(std::string_view) {}
  // A handler stops the parse by setting this (a cap was reached).
  std::string failure;
};

std::string_view local_name(const char* name) {
  std::string_view n(name);
  size_t bar = n.rfind('|');
  return bar == std::string_view::npos ? n : n.substr(bar + 1);
}

// The attribute's value by local name; with `namespaced`, only an attribute that has a namespace.
const char* attribute(const char** attrs, std::string_view name, bool namespaced = false) {
  for (size_t i = 0; attrs[i]; i += 2) {
    std::string_view full(attrs[i]);
    bool has_ns = full.find('|') != std::string_view::npos;
    if (local_name(attrs[i]) == name && has_ns == namespaced) return attrs[i + 1];
  }
  return nullptr;
}

struct ParseContext {
  XML_Parser parser;
  XmlHandler* handler;
};

void XMLCALL on_start(void* data, const char* name, const char** attrs) {
  auto* ctx = static_cast<ParseContext*>(data);
  ctx->handler->start(local_name(name), attrs);
  if (!ctx->handler->failure.empty()) XML_StopParser(ctx->parser, XML_FALSE);
}
void XMLCALL on_end(void* data, const char* name) {
  auto* ctx = static_cast<ParseContext*>(data);
  ctx->handler->end(local_name(name));
  if (!ctx->handler->failure.empty()) XML_StopParser(ctx->parser, XML_FALSE);
}
void XMLCALL on_text(void* data, const char* s, int len) {
  auto* ctx = static_cast<ParseContext*>(data);
  ctx->handler->text(std::string_view(s, static_cast<size_t>(len)));
  if (!ctx->handler->failure.empty()) XML_StopParser(ctx->parser, XML_FALSE);
}
// Workbook parts never declare a document type; refusing one shuts out entity expansion tricks.
void XMLCALL on_doctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
  auto* ctx = static_cast<ParseContext*>(data);
  ctx->handler->failure = "в части книги есть объявление DOCTYPE";
  XML_StopParser(ctx->parser, XML_FALSE);
}

std::string size_text(size_t bytes) { return std::to_string(bytes >> 20) + " МБ"; }

// Inflates one part in chunks and feeds it to the handler; the uncompressed size is capped
// as it is read, not as the archive's directory claims.
void stream_part(const ZipArchive& zip, zip_uint64_t index, const std::string& name, size_t max_bytes,
                 XmlHandler& handler) {
  zip_file_t* file = zip_fopen_index(zip.handle(), index, 0);
  if (!file) throw CommandError(kDamagedPrefix + name + ": " + zip_strerror(zip.handle()));
  std::unique_ptr<zip_file_t, decltype(&zip_fclose)> file_guard(file, &zip_fclose);
  XML_Parser parser = XML_ParserCreateNS(nullptr, '|');
  if (!parser) throw CommandError("недостаточно памяти для чтения книги");
  std::unique_ptr<XML_ParserStruct, decltype(&XML_ParserFree)> parser_guard(parser, &XML_ParserFree);
  ParseContext ctx{parser, &handler};
  XML_SetUserData(parser, &ctx);
  XML_SetElementHandler(parser, on_start, on_end);
  XML_SetCharacterDataHandler(parser, on_text);
  XML_SetStartDoctypeDeclHandler(parser, on_doctype);

  std::vector<char> buffer(1 << 16);
  size_t total = 0;
  for (;;) {
    zip_int64_t n = zip_fread(file, buffer.data(), buffer.size());
    if (n < 0) throw CommandError(kDamagedPrefix + name + ": " + zip_file_strerror(file));
    total += static_cast<size_t>(n);
    if (total > max_bytes)
      throw CommandError(kDamagedPrefix + name + " больше " + size_text(max_bytes) + " после распаковки");
    const bool last = n == 0;
    if (XML_Parse(parser, buffer.data(), static_cast<int>(n), last ? XML_TRUE : XML_FALSE) != XML_STATUS_OK) {
      if (!handler.failure.empty()) throw CommandError(kDamagedPrefix + name + ": " + handler.failure);
      throw CommandError(kDamagedPrefix + name + ": " + XML_ErrorString(XML_GetErrorCode(parser)) + " (строка " +
                         std::to_string(XML_GetCurrentLineNumber(parser)) + ")");
    }
    if (last) break;
  }
}

void stream_required_part(const ZipArchive& zip, const std::string& name, size_t max_bytes, XmlHandler& handler) {
  auto index = zip.find(name);
  if (!index) throw CommandError(kNotWorkbookPrefix + "нет части " + name);
  stream_part(zip, *index, name, max_bytes, handler);
}

// ---------------------------------------------------------------------------------------
// Part names and relationships (OPC, ECMA-376 Part 2 §9.3).

std::string directory_of(const std::string& part) {
  size_t slash = part.rfind('/');
  return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

std::string rels_of(const std::string& part) {
  return directory_of(part) + "_rels/" + part.substr(directory_of(part).size()) + ".rels";
}

// Resolves a relationship target against the source part's folder; "/x" is from the root.
std::string resolve_target(const std::string& source_part, std::string_view target) {
  std::string joined = !target.empty() && target.front() == '/' ? std::string(target.substr(1))
                                                                : directory_of(source_part) + std::string(target);
  std::vector<std::string> segments;
  size_t start = 0;
  while (start <= joined.size()) {
    size_t slash = joined.find('/', start);
    if (slash == std::string::npos) slash = joined.size();
    std::string seg = joined.substr(start, slash - start);
    if (seg == "..") {
      if (!segments.empty()) segments.pop_back();
    } else if (!seg.empty() && seg != ".") {
      segments.push_back(seg);
    }
    start = slash + 1;
  }
  std::string out;
  for (const auto& seg : segments) out += (out.empty() ? "" : "/") + seg;
  return out;
}

struct Relationship {
  std::string type;
  std::string target;
};

class RelsHandler : public XmlHandler {
 public:
  std::map<std::string, Relationship> by_id;
  void start(std::string_view name, const char** attrs) override {
    if (name != "Relationship") return;
    const char* id = attribute(attrs, "Id");
    const char* type = attribute(attrs, "Type");
    const char* target = attribute(attrs, "Target");
    if (id && target) by_id[id] = Relationship{type ? type : "", target};
  }
  void end(std::string_view) override {}
};

std::map<std::string, Relationship> read_rels(const ZipArchive& zip, const std::string& part, size_t max_bytes) {
  RelsHandler handler;
  std::string name = rels_of(part);
  if (auto index = zip.find(name)) stream_part(zip, *index, name, max_bytes, handler);
  return handler.by_id;
}

bool type_ends_with(const std::string& type, std::string_view suffix) {
  return type.size() >= suffix.size() && type.compare(type.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The workbook part named by the package's officeDocument relationship.
std::string find_workbook_part(const ZipArchive& zip, size_t max_bytes) {
  RelsHandler handler;
  if (auto index = zip.find("_rels/.rels")) stream_part(zip, *index, "_rels/.rels", max_bytes, handler);
  for (const auto& [id, rel] : handler.by_id)
    if (type_ends_with(rel.type, "/officeDocument")) return resolve_target("", rel.target);
  return "xl/workbook.xml";
}

class WorkbookHandler : public XmlHandler {
 public:
  std::vector<std::string> sheet_rel_ids;  // in workbook order
  std::vector<std::string> sheet_names;    // the same order
  void start(std::string_view name, const char** attrs) override {
    if (name != "sheet") return;
    if (const char* id = attribute(attrs, "id", true)) {
      sheet_rel_ids.emplace_back(id);
      const char* sheet_name = attribute(attrs, "name");
      sheet_names.emplace_back(sheet_name ? sheet_name : "");
    }
  }
  void end(std::string_view) override {}
};

// ---------------------------------------------------------------------------------------
// Shared strings (ECMA-376 Part 1 §18.4): plain <t> or rich-text runs <r><t>; the phonetic
// hints <rPh> are not part of the text.

class SharedStringsHandler : public XmlHandler {
 public:
  explicit SharedStringsHandler(size_t max_bytes) : max_bytes_(max_bytes) {}
  std::vector<std::string> strings;

  void start(std::string_view name, const char**) override {
    if (name == "si") {
      in_si_ = true;
      current_.clear();
    } else if (name == "rPh") {
      ++in_phonetic_;
    } else if (name == "t" && in_si_ && in_phonetic_ == 0) {
      in_t_ = true;
    }
  }
  void end(std::string_view name) override {
    if (name == "si") {
      in_si_ = false;
      strings.push_back(std::move(current_));
      current_.clear();
    } else if (name == "rPh") {
      --in_phonetic_;
    } else if (name == "t") {
      in_t_ = false;
    }
  }
  void text(std::string_view s) override {
    if (!in_t_) return;
    total_ += s.size();
    if (total_ > max_bytes_) {
      failure = "общие строки больше " + size_text(max_bytes_);
      return;
    }
    current_.append(s);
  }

 private:
  size_t max_bytes_;
  size_t total_ = 0;
  bool in_si_ = false;
  bool in_t_ = false;
  int in_phonetic_ = 0;
  std::string current_;
};

// ---------------------------------------------------------------------------------------
// Styles: which cell formats show a number as a date or time (§18.8.30 built-in formats).

bool builtin_date_format(int id) {
  return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) || (id >= 50 && id <= 58);
}

// A format code shows a date or time when, outside quoted text, escapes and [...] sections,
// it uses one of the date and time letters.
bool custom_date_format(std::string_view code) {
  for (size_t i = 0; i < code.size(); ++i) {
    char c = code[i];
    if (c == '"') {
      size_t close = code.find('"', i + 1);
      if (close == std::string_view::npos) return false;
      i = close;
    } else if (c == '\\' || c == '_' || c == '*') {
      ++i;
    } else if (c == '[') {
      size_t close = code.find(']', i + 1);
      if (close == std::string_view::npos) return false;
      std::string_view inside = code.substr(i + 1, close - i - 1);
      if (!inside.empty() && (inside[0] == 'h' || inside[0] == 'm' || inside[0] == 's')) return true;
      i = close;
    } else if (std::string_view("dDmMyYhHsS").find(c) != std::string_view::npos) {
      return true;
    }
  }
  return false;
}

class StylesHandler : public XmlHandler {
 public:
  std::vector<bool> date_style;  // by cell format index (the cell's s attribute)

  void start(std::string_view name, const char** attrs) override {
    if (name == "numFmt") {
      const char* id = attribute(attrs, "numFmtId");
      const char* code = attribute(attrs, "formatCode");
      if (id && code) custom_[std::atoi(id)] = custom_date_format(code);
    } else if (name == "cellXfs") {
      in_cell_xfs_ = true;
    } else if (name == "xf" && in_cell_xfs_) {
      const char* id = attribute(attrs, "numFmtId");
      int fmt = id ? std::atoi(id) : 0;
      auto it = custom_.find(fmt);
      date_style.push_back(it != custom_.end() ? it->second : builtin_date_format(fmt));
    }
  }
  void end(std::string_view name) override {
    if (name == "cellXfs") in_cell_xfs_ = false;
  }

 private:
  std::map<int, bool> custom_;
  bool in_cell_xfs_ = false;
};

// ---------------------------------------------------------------------------------------
// The worksheet (§18.3.1): <row r> holding <c r t s> with <v>, <is> or nothing.

bool parse_cell_ref(std::string_view ref, uint32_t& row, uint32_t& col) {
  size_t i = 0;
  uint64_t c = 0;
  while (i < ref.size() && std::isalpha(static_cast<unsigned char>(ref[i]))) {
    c = c * 26 + static_cast<uint64_t>(std::toupper(static_cast<unsigned char>(ref[i])) - 'A' + 1);
    if (c > 16384) return false;
    ++i;
  }
  if (i == 0 || i == ref.size()) return false;
  uint64_t r = 0;
  auto [end, ec] = std::from_chars(ref.data() + i, ref.data() + ref.size(), r);
  if (ec != std::errc() || end != ref.data() + ref.size() || r == 0 || r > 1048576) return false;
  row = static_cast<uint32_t>(r - 1);
  col = static_cast<uint32_t>(c - 1);
  return true;
}

std::optional<double> parse_xml_number(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  double value = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return value;
}

}  // namespace

// Collects the cells with values and lays them out as the used area.
class SheetBuilder : public XmlHandler {
 public:
  SheetBuilder(const std::vector<std::string>& shared, const std::vector<bool>& date_style, size_t max_cells)
      : shared_(shared), date_style_(date_style), max_cells_(max_cells) {}

  void start(std::string_view name, const char** attrs) override {
    if (name == "row") {
      const char* r = attribute(attrs, "r");
      uint32_t value = 0;
      auto parsed = r ? std::from_chars(r, r + std::strlen(r), value)
                      : std::from_chars_result{nullptr, std::errc::invalid_argument};
      row_ = (r && parsed.ec == std::errc() && value > 0) ? value - 1 : next_row_;
      next_row_ = row_ + 1;
      next_col_ = 0;
    } else if (name == "c") {
      const char* ref = attribute(attrs, "r");
      uint32_t row = row_, col = next_col_;
      if (ref && !parse_cell_ref(ref, row, col)) {
        failure = std::string("неверная ссылка на ячейку ") + ref;
        return;
      }
      cell_row_ = row;
      cell_col_ = col;
      next_col_ = col + 1;
      const char* t = attribute(attrs, "t");
      type_ = t ? t : "n";
      const char* s = attribute(attrs, "s");
      style_ = s ? std::atoi(s) : 0;
      value_.clear();
      has_value_ = false;
      has_formula_ = false;
      inline_text_.clear();
      has_inline_ = false;
    } else if (name == "v") {
      in_v_ = true;
      has_value_ = true;
    } else if (name == "f") {
      has_formula_ = true;
    } else if (name == "is") {
      in_is_ = true;
      has_inline_ = true;
    } else if (name == "rPh") {
      ++in_phonetic_;
    } else if (name == "t" && in_is_ && in_phonetic_ == 0) {
      in_t_ = true;
    }
  }

  void end(std::string_view name) override {
    if (name == "v") {
      in_v_ = false;
    } else if (name == "t") {
      in_t_ = false;
    } else if (name == "rPh") {
      --in_phonetic_;
    } else if (name == "is") {
      in_is_ = false;
    } else if (name == "c") {
      finish_cell();
    }
  }

  void text(std::string_view s) override {
    if (in_v_) value_.append(s);
    if (in_t_) inline_text_.append(s);
  }

  SheetArea build() {
    SheetArea area;
    if (cells_.empty()) return area;
    uint32_t min_row = UINT32_MAX, max_row = 0, min_col = UINT32_MAX;
    for (const auto& c : cells_) {
      min_row = std::min(min_row, c.row);
      max_row = std::max(max_row, c.row);
      min_col = std::min(min_col, c.col);
    }
    area.first_row_ = min_row;
    area.first_col_ = min_col;
    area.rows_.resize(size_t(max_row - min_row) + 1);
    for (auto& c : cells_) {
      auto& row = area.rows_[c.row - min_row];
      size_t col = c.col - min_col;
      if (row.size() <= col) row.resize(col + 1);
      row[col] = std::move(c.cell);
    }
    cells_.clear();
    return area;
  }

 private:
  struct Placed {
    uint32_t row;
    uint32_t col;
    Cell cell;
  };

  void finish_cell() {
    Cell cell;
    cell.formula = has_formula_;
    if (type_ == "inlineStr") {
      if (!has_inline_) return;
      cell.kind = CellKind::kText;
      cell.text = std::move(inline_text_);
    } else if (!has_value_ || (has_formula_ && value_.empty())) {
      // A cell that carries only a style holds no value; a formula without a stored result
      // still counts, since which cells compute their value tells how a row was written.
      if (!has_formula_) return;
    } else if (type_ == "s") {
      auto index = parse_xml_number(value_);
      if (!index || *index < 0 || *index >= static_cast<double>(shared_.size())) return;
      cell.kind = CellKind::kText;
      cell.text = shared_[static_cast<size_t>(*index)];
    } else if (type_ == "str") {
      cell.kind = CellKind::kText;
      cell.text = std::move(value_);
    } else if (type_ == "b") {
      cell.kind = CellKind::kBool;
      cell.number = value_ == "1" || value_ == "true" ? 1 : 0;
    } else if (type_ == "e") {
      cell.kind = CellKind::kError;
      cell.text = std::move(value_);
    } else if (type_ == "d") {
      cell.kind = CellKind::kDate;  // an ISO 8601 text; only its kind matters here
      cell.text = std::move(value_);
    } else {
      auto number = parse_xml_number(value_);
      if (!number) {
        cell.kind = CellKind::kError;
        cell.text = std::move(value_);
      } else {
        bool is_date = style_ >= 0 && static_cast<size_t>(style_) < date_style_.size() && date_style_[style_];
        cell.kind = is_date ? CellKind::kDate : CellKind::kNumber;
        cell.number = *number;
      }
    }
    if (cells_.size() >= max_cells_) {
      failure = "в листе больше " + std::to_string(max_cells_) + " заполненных ячеек";
      return;
    }
    cells_.push_back(Placed{cell_row_, cell_col_, std::move(cell)});
  }

  const std::vector<std::string>& shared_;
  const std::vector<bool>& date_style_;
  size_t max_cells_;
  std::vector<Placed> cells_;
  uint32_t row_ = 0, next_row_ = 0, next_col_ = 0, cell_row_ = 0, cell_col_ = 0;
  std::string type_;
  int style_ = 0;
  std::string value_, inline_text_;
  bool has_value_ = false, has_formula_ = false, has_inline_ = false, in_v_ = false, in_is_ = false, in_t_ = false;
  int in_phonetic_ = 0;
};

const Cell& SheetArea::at(size_t row, size_t col) const {
  static const Cell kEmptyCell;
  if (row >= rows_.size() || col >= rows_[row].size()) return kEmptyCell;
  return rows_[row][col];
}

namespace {

// What every sheet of a workbook is read with: the part names, the shared strings, the date styles.
struct OpenWorkbook {
  std::string workbook_part;
  WorkbookHandler book;
  std::map<std::string, Relationship> rels;
  std::vector<std::string> shared;
  std::vector<bool> date_style;
};

void open_workbook(const ZipArchive& zip, const XlsxLimits& limits, OpenWorkbook& out) {
  out.workbook_part = find_workbook_part(zip, limits.max_part_bytes);
  stream_required_part(zip, out.workbook_part, limits.max_part_bytes, out.book);
  if (out.book.sheet_rel_ids.empty()) throw CommandError(kNoSheetMessage);
  out.rels = read_rels(zip, out.workbook_part, limits.max_part_bytes);
  for (const auto& [id, rel] : out.rels) {
    const std::string part = resolve_target(out.workbook_part, rel.target);
    auto index = zip.find(part);
    if (!index) continue;
    if (type_ends_with(rel.type, "/sharedStrings")) {
      SharedStringsHandler handler(limits.max_shared_strings_bytes);
      stream_part(zip, *index, part, limits.max_part_bytes, handler);
      out.shared = std::move(handler.strings);
    } else if (type_ends_with(rel.type, "/styles")) {
      StylesHandler handler;
      stream_part(zip, *index, part, limits.max_part_bytes, handler);
      out.date_style = std::move(handler.date_style);
    }
  }
}

// The sheet at `position` in workbook order; throws when the workbook does not name its part.
SheetArea read_sheet(const ZipArchive& zip, const XlsxLimits& limits, const OpenWorkbook& wb, size_t position) {
  auto sheet_rel = wb.rels.find(wb.book.sheet_rel_ids[position]);
  if (sheet_rel == wb.rels.end())
    throw CommandError(kNotWorkbookPrefix + (position == 0 ? "не найден первый лист" : "не найден лист"));
  const std::string sheet_part = resolve_target(wb.workbook_part, sheet_rel->second.target);
  SheetBuilder sheet(wb.shared, wb.date_style, limits.max_cells);
  stream_required_part(zip, sheet_part, limits.max_part_bytes, sheet);
  return sheet.build();
}

void check_exists(const std::filesystem::path& path) {
  if (std::error_code ec; !std::filesystem::exists(path, ec)) {
    throw CommandError(kNotWorkbookPrefix + std::string("файл не найден: ") + path_utf8(path));
  }
}

}  // namespace

SheetArea read_first_sheet(const std::filesystem::path& path, const XlsxLimits& limits) {
  check_exists(path);
  ZipArchive zip(path);
  OpenWorkbook wb;
  open_workbook(zip, limits, wb);
  return read_sheet(zip, limits, wb, 0);
}

FirstSheetAndNamed read_first_sheet_and(const std::filesystem::path& path, std::string_view other_name,
                                        const XlsxLimits& limits) {
  check_exists(path);
  ZipArchive zip(path);
  OpenWorkbook wb;
  open_workbook(zip, limits, wb);
  FirstSheetAndNamed out;
  out.first = read_sheet(zip, limits, wb, 0);
  // A later sheet that cannot be read leaves the first one as it is: nothing is carried.
  for (size_t i = 1; i < wb.book.sheet_names.size(); ++i)
    if (wb.book.sheet_names[i] == other_name) {
      try {
        out.named = read_sheet(zip, limits, wb, i);
      } catch (const CommandError&) {
      }
      break;
    }
  return out;
}

}  // namespace calcora
