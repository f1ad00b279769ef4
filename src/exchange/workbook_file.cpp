#include "exchange/workbook_file.h"

#include "common/errors.h"
#include "common/file_io.h"
#include "exchange/sheet_numbers.h"

namespace calcora {

void check_xlsx(lxw_error error) {
  if (error != LXW_NO_ERROR) throw CommandError(std::string("ошибка записи книги: ") + lxw_strerror(error));
}

WorkbookFile::WorkbookFile() {
  temp_path_ = create_temp_file("calcora-book-", ".xlsx");
  // The writer opens its files by narrow names.
  std::string name;
  try {
    temp_dir_ = narrow_path_for_c_library(temp_path_.parent_path());
    name = narrow_path_for_c_library(temp_path_);
  } catch (...) {
    std::error_code ec;
    std::filesystem::remove(temp_path_, ec);
    throw;
  }
  lxw_workbook_options options{};
  options.tmpdir = temp_dir_.data();
  book_ = workbook_new_opt(name.c_str(), &options);
  if (!book_) {
    std::filesystem::remove(temp_path_);
    throw CommandError("ошибка записи книги: не удалось создать книгу");
  }
}

WorkbookFile::~WorkbookFile() {
  // An unsaved workbook still owns memory and temporary files: close it into the temp path.
  if (book_) workbook_close(book_);
  std::error_code ec;
  std::filesystem::remove(temp_path_, ec);
}

lxw_worksheet* WorkbookFile::add_sheet(const char* name) {
  lxw_worksheet* sheet = workbook_add_worksheet(book_, name);
  if (!sheet) throw CommandError(std::string("ошибка записи книги: не добавить лист ") + name);
  return sheet;
}

void WorkbookFile::save(const std::filesystem::path& target) {
  lxw_error error = workbook_close(book_);
  book_ = nullptr;
  check_xlsx(error);
  shorten_workbook_numbers(temp_path_);
  write_file_atomically(target, read_whole_file(temp_path_));
}

}  // namespace calcora
