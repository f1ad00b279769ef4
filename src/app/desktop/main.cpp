// calcora: the desktop program. Takes no arguments; the user's data lives in the data
// directory, and a failed start leaves a line in the start-up log and an error box.
#include <gtk/gtk.h>

#include <cstdlib>
#include <memory>

#include "app/desktop/error_box.h"
#include "app/desktop/main_window.h"
#include "app/desktop/shell.h"
#include "app/fault.h"
#include "app/paths.h"
#include "app/startup.h"

int main() {
  calcora::install_fault_hook();

  // The program reads no command line; GTK gets none either, so no option can change it.
  int argc = 0;
  char** argv = nullptr;
  if (!gtk_init_check(&argc, &argv)) calcora::fail_start("не удалось открыть экран (нет доступа к дисплею)");
  calcora::desktop::install_gtk_error_box();

  // From here on a failure is a fault: reported with the "критическая ошибка" box, and the
  // program ends before any window is shown.
  const auto data_dir = calcora::app_data_dir();
  if (!data_dir) calcora::raise_fault("папка данных: не заданы переменные окружения XDG_DATA_HOME и HOME");
  std::unique_ptr<calcora::AppState> state = calcora::set_up_app_state(*data_dir);

  calcora::Dispatcher dispatcher(*state);
  calcora::desktop::Shell shell(dispatcher);
  calcora::desktop::open_main_window(shell, *data_dir);
  gtk_main();
  return EXIT_SUCCESS;
}
