// No system clipboard natively: the format gets the first number the system gives registered
// formats.
#include "app/main_window/program_init.h"

namespace kv {

TClipboardFormatRegistrar SystemClipboardFormatRegistrar() {
  return [](const std::string&) -> uint32_t { return 0xC000; };
}

}  // namespace kv
