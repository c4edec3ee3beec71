// The system's registration of the translators' clipboard format.
#include <windows.h>

#include "app/main_window/program_init.h"
#include "base/win/wide.h"

namespace kv {

TClipboardFormatRegistrar SystemClipboardFormatRegistrar() {
  return [](const std::string& name) -> uint32_t {
    return ::RegisterClipboardFormatW(win::Widen(name).c_str());
  };
}

}  // namespace kv
