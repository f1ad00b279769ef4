#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <atomic>
#include <iostream>
#include <mutex>

#include "app/browser_shell/browser_platform.h"
#include "app/browser_shell/file_dialog_setup.h"
#include "app/fault.h"
#include "common/utf8_path.h"

namespace calcora::browser_shell {

namespace {

constexpr wchar_t kInstanceMutex[] = L"Local\\com.calcora.desktop";
constexpr wchar_t kSignalClass[] = L"CalcoraDesktopSignal";
constexpr UINT kBringForward = WM_APP + 1;
constexpr wchar_t kDialogCaption[] = L"Calcora";

std::wstring to_wide(const std::string& text) { return utf8_path(text).wstring(); }
std::string from_wide(const wchar_t* text) { return path_utf8(std::filesystem::path(text)); }

std::string system_message(DWORD code) {
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message = text ? from_wide(text) : "ошибка " + std::to_string(code);
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
    message.pop_back();
  return message;
}

// The browser process whose window shows the page; its window owns our dialogs.
std::atomic<DWORD> browser_process_id{0};

struct WindowSearch {
  DWORD process_id;
  HWND found;
};

BOOL CALLBACK match_window(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  DWORD owner_process = 0;
  GetWindowThreadProcessId(window, &owner_process);
  if (owner_process != search->process_id || !IsWindowVisible(window) || GetWindow(window, GW_OWNER)) return TRUE;
  search->found = window;
  return FALSE;
}

// The browser's visible top-level window, or nullptr while there is none.
HWND browser_window() {
  WindowSearch search{browser_process_id.load(), nullptr};
  if (search.process_id) EnumWindows(match_window, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void bring_browser_forward() {
  HWND window = browser_window();
  std::cerr << "calcora: another start brings the window forward" << std::endl;
  if (!window) return;
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  SetForegroundWindow(window);
}

LRESULT CALLBACK signal_proc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == kBringForward) {
    bring_browser_forward();
    return 0;
  }
  return DefWindowProcW(window, message, w, l);
}

std::optional<std::filesystem::path> known_folder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::optional<std::filesystem::path> folder;
  if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path))) folder = std::filesystem::path(path);
  CoTaskMemFree(path);
  return folder;
}

std::optional<std::filesystem::path> app_paths_entry(const std::string& exe_name) {
  const std::wstring key = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + to_wide(exe_name);
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    wchar_t value[MAX_PATH * 2];
    DWORD size = sizeof value;
    if (RegGetValueW(root, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) continue;
    std::wstring path = value;
    if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"') path = path.substr(1, path.size() - 2);
    if (!path.empty()) return std::filesystem::path(path);
  }
  return std::nullopt;
}

class ProcessWindow : public BrowserWindow {
 public:
  ProcessWindow(HANDLE process, HANDLE job) : process_(process), job_(job) {}
  ~ProcessWindow() override {
    CloseHandle(process_);
    // Closing the job ends what the browser left behind (helper processes) with us.
    if (job_) CloseHandle(job_);
  }

  void wait_until_closed() override {
    for (;;) {
      const DWORD woke = MsgWaitForMultipleObjects(1, &process_, FALSE, INFINITE, QS_ALLINPUT);
      if (woke != WAIT_OBJECT_0 + 1) return;  // the process ended (or the wait broke)
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
  }

 private:
  HANDLE process_;
  HANDLE job_;
};

// A COM apartment for the calling thread, for as long as one dialog is shown.
class ComApartment {
 public:
  ComApartment() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
  ~ComApartment() {
    if (ok_) CoUninitialize();
  }
  bool ok() const { return ok_; }

 private:
  bool ok_;
};

template <class T>
struct ComReference {
  T* p = nullptr;
  ~ComReference() {
    if (p) p->Release();
  }
  T* operator->() const { return p; }
};

BOOL CALLBACK close_window(HWND window, LPARAM) {
  PostMessageW(window, WM_CLOSE, 0, 0);
  return TRUE;
}

class WindowsDialogs : public ShellDialogs {
 public:
  void message(const std::string& text) override {
    Showing showing(*this);
    MessageBoxW(browser_window(), to_wide(text).c_str(), kDialogCaption, MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
  }

  bool confirm(const std::string& text) override {
    Showing showing(*this);
    return MessageBoxW(browser_window(), to_wide(text).c_str(), kDialogCaption,
                       MB_OKCANCEL | MB_ICONQUESTION | MB_SETFOREGROUND) == IDOK;
  }

  std::optional<std::string> choose_file(const FileDialogRequest& request) override {
    ComApartment com;
    if (!com.ok()) return std::nullopt;
    Showing showing(*this);
    ComReference<IFileDialog> dialog;
    if (FAILED(CoCreateInstance(request.save ? CLSID_FileSaveDialog : CLSID_FileOpenDialog, nullptr,
                                CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dialog.p))))
      return std::nullopt;
    const FileDialogSetup setup = file_dialog_setup(request);
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    options |= FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST | (request.save ? FOS_OVERWRITEPROMPT : FOS_FILEMUSTEXIST);
    dialog->SetOptions(options);
    dialog->SetTitle(to_wide(setup.title).c_str());
    std::vector<std::pair<std::wstring, std::wstring>> types;
    for (const auto& type : setup.file_types) types.emplace_back(to_wide(type.name), to_wide(type.patterns));
    std::vector<COMDLG_FILTERSPEC> specs;
    for (const auto& [name, patterns] : types) specs.push_back({name.c_str(), patterns.c_str()});
    if (!specs.empty()) {
      dialog->SetFileTypes(static_cast<UINT>(specs.size()), specs.data());
      dialog->SetFileTypeIndex(1);
    }
    if (!setup.file_name.empty()) dialog->SetFileName(to_wide(setup.file_name).c_str());
    if (!setup.folder.empty()) {
      // A folder that is gone leaves the dialog where the system likes.
      ComReference<IShellItem> folder;
      if (SUCCEEDED(SHCreateItemFromParsingName(to_wide(setup.folder).c_str(), nullptr, IID_PPV_ARGS(&folder.p))))
        dialog->SetFolder(folder.p);
    }
    if (!setup.default_extension.empty()) dialog->SetDefaultExtension(to_wide(setup.default_extension).c_str());
    if (FAILED(dialog->Show(browser_window()))) return std::nullopt;  // cancelled
    ComReference<IShellItem> item;
    if (FAILED(dialog->GetResult(&item.p))) return std::nullopt;
    PWSTR path = nullptr;
    // Only a file of the file system can be handed to the file commands.
    if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path))) return std::nullopt;
    std::string chosen = from_wide(path);
    CoTaskMemFree(path);
    return chosen;
  }

  void dismiss_all() override {
    std::lock_guard lock(mutex_);
    if (showing_thread_) EnumThreadWindows(showing_thread_, close_window, 0);
  }

 private:
  // Remembers which thread shows a dialog, so that dismiss_all() can close its windows.
  struct Showing {
    WindowsDialogs& dialogs;
    explicit Showing(WindowsDialogs& d) : dialogs(d) {
      std::lock_guard lock(dialogs.mutex_);
      dialogs.showing_thread_ = GetCurrentThreadId();
    }
    ~Showing() {
      std::lock_guard lock(dialogs.mutex_);
      dialogs.showing_thread_ = 0;
    }
  };

  std::mutex mutex_;
  DWORD showing_thread_ = 0;
};

}  // namespace

void install_error_box() {
  set_error_box([](const std::string& caption, const std::string& text) {
    MessageBoxW(nullptr, to_wide(text).c_str(), to_wide(caption).c_str(),
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
  });
}

bool claim_single_instance() {
  // Kept open for the whole run: the system releases it when the process ends, however it ends.
  HANDLE mutex = CreateMutexW(nullptr, FALSE, kInstanceMutex);
  if (mutex && GetLastError() != ERROR_ALREADY_EXISTS) {
    WNDCLASSW signal_class{};
    signal_class.lpfnWndProc = signal_proc;
    signal_class.hInstance = GetModuleHandleW(nullptr);
    signal_class.lpszClassName = kSignalClass;
    RegisterClassW(&signal_class);
    CreateWindowExW(0, kSignalClass, kDialogCaption, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, signal_class.hInstance, nullptr);
    return true;
  }
  // The first copy may still be starting: its signal window comes a moment after its mutex.
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (HWND first = FindWindowExW(HWND_MESSAGE, nullptr, kSignalClass, nullptr)) {
      DWORD first_process = 0;
      GetWindowThreadProcessId(first, &first_process);
      // Only the program the user has just started may hand the foreground on.
      AllowSetForegroundWindow(first_process);
      PostMessageW(first, kBringForward, 0, 0);
      break;
    }
    Sleep(100);
  }
  return false;
}

BrowserSearch platform_browser_search() {
  BrowserSearch search;
  if (const wchar_t* chosen = _wgetenv(L"CALCORA_BROWSER"); chosen && *chosen) search.chosen = std::filesystem::path(chosen);
  search.registered = app_paths_entry;
  for (REFKNOWNFOLDERID id : {FOLDERID_ProgramFilesX86, FOLDERID_ProgramFilesX64, FOLDERID_LocalAppData})
    if (auto folder = known_folder(id)) search.install_roots.push_back(*folder);
  search.exists = [](const std::filesystem::path& path) {
    std::error_code ignored;
    return std::filesystem::is_regular_file(path, ignored);
  };
  return search;
}

std::unique_ptr<BrowserWindow> start_browser(const std::filesystem::path& browser,
                                             const std::vector<std::string>& arguments, std::string& error) {
  std::wstring command_line = windows_command_line(browser, arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(browser.c_str(), command_line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                      nullptr, &startup, &process)) {
    error = path_utf8(browser) + ": " + system_message(GetLastError());
    return nullptr;
  }
  // The browser's helper processes end with the program, even if it ends abnormally.
  HANDLE job = CreateJobObjectW(nullptr, nullptr);
  if (job) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits) ||
        !AssignProcessToJobObject(job, process.hProcess)) {
      CloseHandle(job);
      job = nullptr;
    }
  }
  browser_process_id = process.dwProcessId;
  ResumeThread(process.hThread);
  CloseHandle(process.hThread);
  return std::make_unique<ProcessWindow>(process.hProcess, job);
}

std::unique_ptr<ShellDialogs> make_shell_dialogs() { return std::make_unique<WindowsDialogs>(); }

}  // namespace calcora::browser_shell
