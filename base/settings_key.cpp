#include "base/settings_key.h"

#include <mutex>
#include <optional>

#include "base/platform.h"
#include "base/texts.h"
#include "base/utils.h"

namespace kv {
namespace {
struct Cache {
  std::mutex mutex;
  std::optional<std::string> readCompany;
};
Cache& TheCache() {
  static Cache c;
  return c;
}

std::string TitleAndBase() {
  return GetProgramTitle() + "\\" + GetProgramBaseName();
}

std::string ReadCompany() {
  Cache& c = TheCache();
  std::lock_guard<std::mutex> lock(c.mutex);
  if (!c.readCompany) {
    const std::string tail = '\\' + TitleAndBase();
    const std::string current = std::string("\\Software\\") + kSettingsCompany + tail;
    const std::string legacy = std::string("\\Software\\") + kLegacySettingsCompany + tail;
    c.readCompany =
        (!RegKeyExists(RegRoot::CurrentUser, current) && RegKeyExists(RegRoot::CurrentUser, legacy))
            ? kLegacySettingsCompany
            : kSettingsCompany;
  }
  return *c.readCompany;
}
}  // namespace

std::string GetSettingsRegPath(bool forReading) {
  const std::string company = forReading ? ReadCompany() : std::string(kSettingsCompany);
  return company + "\\" + TitleAndBase();
}

std::string GetSettingsRegKey(bool forReading) {
  return "\\Software\\" + GetSettingsRegPath(forReading);
}

void ClearSettingsKeyCache() {
  Cache& c = TheCache();
  std::lock_guard<std::mutex> lock(c.mutex);
  c.readCompany.reset();
}

}  // namespace kv
