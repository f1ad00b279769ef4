#include <windows.h>
#include <shellapi.h>

#include <string>

#include "commands/system_commands.h"
#include "common/errors.h"
#include "common/utf8_path.h"

namespace calcora {

void open_in_browser(const std::string& url) {
  // The shell hands the address to the default browser directly. The command interpreter's
  // "start" would first parse it as a command line, where an & in the query would run whatever
  // follows it.
  const std::wstring wide = utf8_path(url).native();
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"open";
  info.lpFile = wide.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&info)) {
    const DWORD code = GetLastError();
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = text ? text : L"";
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r')) message.pop_back();
    throw CommandError(std::string(kBrowserFailed) + ": " + path_utf8(std::filesystem::path(message)) +
                       " (os error " + std::to_string(code) + ")");
  }
}

}  // namespace calcora
