// Qt is not built with ThreadSanitizer: its own locks (futex based) are invisible to it,
// so copies that Qt makes inside its thread pool look racy. Reports whose racy access is
// made by Qt's libraries themselves are suppressed; our code is still checked.
extern "C" const char* __tsan_default_suppressions() {
  return "called_from_lib:libQt6Core.so.6\n"
         "called_from_lib:libQt6Gui.so.6\n"
         "called_from_lib:libQt6Widgets.so.6\n";
}
