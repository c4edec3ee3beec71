// Without a classes root no browser is registered.
#include <optional>
#include <string>

namespace kv {

std::optional<std::string> ReadClassRootDefault(const std::string&) {
  return std::nullopt;
}

}  // namespace kv
