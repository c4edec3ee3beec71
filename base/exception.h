#pragma once
// The program's error type: an exception that carries a message for the user or the log.
#include <stdexcept>
#include <string>

namespace kv {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// A stored file could not be read or written.
class EFileError : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace kv
