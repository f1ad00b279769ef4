#include <windows.h>
#include <shellapi.h>

#include "app/program_arguments.h"
#include "common/utf8_path.h"

namespace calcora {

std::vector<std::string> program_arguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return {argv, argv + argc};
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) args.push_back(path_utf8(std::filesystem::path(wide[i])));
  LocalFree(wide);
  return args;
}

}  // namespace calcora
