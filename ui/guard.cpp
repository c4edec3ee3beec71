#include "ui/guard.h"

#include "base/exception.h"
#include "base/platform.h"

namespace kv::ui {
namespace {
// Main thread only, as every window is.
TExceptionHandler& Handler() {
  static TExceptionHandler handler;
  return handler;
}

std::string CurrentMessage() {
  try {
    throw;
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "Unknown exception";
  }
}
}  // namespace

TExceptionHandler SetExceptionHandler(TExceptionHandler handler) {
  TExceptionHandler old = std::move(Handler());
  Handler() = std::move(handler);
  return old;
}

void ReportCurrentException() noexcept {
  try {
    std::string message = CurrentMessage();
    // A handler replaced from inside itself must stay alive while it runs.
    TExceptionHandler handler = Handler();
    if (handler) {
      handler(message);
    } else {
      DebugOutput(message);
    }
  } catch (...) {
    // Nothing is left to report to.
  }
}

}  // namespace kv::ui
