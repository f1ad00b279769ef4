// A workbook being written with libxlsxwriter. The library can only write to a named file and
// keeps temporary files while it works; both live in the system's temporary folder and are
// removed whatever happens, and the finished bytes replace the target file in one step.
#pragma once

#include <xlsxwriter.h>

#include <filesystem>
#include <string>

namespace calcora {

class WorkbookFile {
 public:
  WorkbookFile();
  ~WorkbookFile();
  WorkbookFile(const WorkbookFile&) = delete;
  WorkbookFile& operator=(const WorkbookFile&) = delete;

  lxw_workbook* book() const { return book_; }
  // Adds a worksheet; throws CommandError with the writer's text on failure.
  lxw_worksheet* add_sheet(const char* name);
  // Finishes the workbook and writes it to `target`; throws CommandError with the writer's or
  // the file system's text. The workbook cannot be used afterwards.
  void save(const std::filesystem::path& target);

 private:
  std::filesystem::path temp_path_;
  std::string temp_dir_;
  lxw_workbook* book_ = nullptr;
};

// Throws CommandError with the writer's text when `error` is not LXW_NO_ERROR.
void check_xlsx(lxw_error error);

}  // namespace calcora
