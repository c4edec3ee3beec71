#pragma once
// Exceptions must never unwind through Windows (a window procedure, a hook, a timer callback
// or an idle handler): those boundaries catch everything and hand it to one handler, which
// the application points at its error reporting. Without a handler the message goes to the
// debugger output.
#include <exception>
#include <functional>
#include <string>

namespace kv::ui {

using TExceptionHandler = std::function<void(const std::string& message)>;

// Main thread. Returns the previous handler.
TExceptionHandler SetExceptionHandler(TExceptionHandler handler);

// Call inside a catch block: reports the exception being handled. Never throws; a handler
// that throws is ignored.
void ReportCurrentException() noexcept;

// Runs fn; an exception it throws is reported and fallback returned.
template <class R, class F>
R Guarded(R fallback, F&& fn) noexcept {
  try {
    return fn();
  } catch (...) {
    ReportCurrentException();
    return fallback;
  }
}

template <class F>
void Guarded(F&& fn) noexcept {
  try {
    fn();
  } catch (...) {
    ReportCurrentException();
  }
}

}  // namespace kv::ui
