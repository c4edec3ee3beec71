#include "controls/go_to_web.h"

#include <algorithm>

#include "base/platform.h"
#include "base/text.h"

namespace kv {

// The default value of a key under the classes root (Windows: the registry; elsewhere no key
// opens).
std::optional<std::string> ReadClassRootDefault(const std::string& key);

namespace {

std::string StripQuotesAndTrim(std::string_view s) {
  std::string t = Trim(s);
  size_t a = 0, b = t.size();
  while (a < b && t[a] == '"') ++a;
  while (b > a && t[b - 1] == '"') --b;
  return Trim(std::string_view(t).substr(a, b - a));
}

TBrowserSeams PlatformSeams();

struct BrowserState {
  TBrowserSeams seams = PlatformSeams();
  bool searched = false;
  TBrowserCommand command;
};

BrowserState& State() {
  static BrowserState state;
  return state;
}

TBrowserSeams PlatformSeams() {
  TBrowserSeams s;
  s.readClassDefault = ReadClassRootDefault;
  s.fileExists = [](const std::string& path) { return FileExists(path); };
  s.start = [](const std::string& program, const std::string& parameters) {
    return ShellOpen(0, program, parameters, "");
  };
  return s;
}

}  // namespace

std::optional<TBrowserCommand> ParseBrowserCommand(std::string_view command) {
  std::string text(command);
  const size_t p1 = text.find("%1");
  if (p1 != std::string::npos) text.replace(p1, 2, "%s");
  // The program path ends at the last ".EXE", ".BAT" or ".COM" of the text.
  size_t end = std::string::npos;
  for (size_t i = text.size(); i >= 4; --i) {
    const std::string ext = UpperCase(std::string_view(text).substr(i - 4, 4));
    if (ext == ".EXE" || ext == ".BAT" || ext == ".COM") {
      end = i;
      break;
    }
  }
  if (end == std::string::npos) return std::nullopt;
  TBrowserCommand c;
  c.path = StripQuotesAndTrim(std::string_view(text).substr(0, end));
  c.format = StripQuotesAndTrim(std::string_view(text).substr(end));
  if (c.format.find("%s") == std::string::npos) c.format += " %s";
  if (c.path.empty()) return std::nullopt;
  return c;
}

std::string FillBrowserParameters(std::string_view format, std::string_view address) {
  std::string out(format);
  const size_t p = out.find("%s");
  if (p != std::string::npos) out.replace(p, 2, address);
  return out;
}

std::optional<TBrowserCommand> FindBrowserCommand(const TBrowserSeams& seams) {
  if (!seams.readClassDefault) return std::nullopt;
  for (const char* key : {"http", ".html"}) {
    const std::optional<std::string> value = seams.readClassDefault(key);
    if (!value) continue;
    if (!value->empty()) {
      const auto cmd = seams.readClassDefault(*value + "\\shell\\open\\command");
      if (cmd && !cmd->empty()) return ParseBrowserCommand(*cmd);
    }
    const auto own = seams.readClassDefault(std::string(key) + "\\shell\\open\\command");
    if (own && !own->empty()) return ParseBrowserCommand(*own);
  }
  return std::nullopt;
}

void SetBrowserSeams(TBrowserSeams seams) {
  BrowserState& s = State();
  s.seams = std::move(seams);
  s.searched = false;
  s.command = {};
}

bool TGoToWeb::BrowserAvailable() {
  BrowserState& s = State();
  if (!s.searched) {
    s.searched = true;
    s.command = FindBrowserCommand(s.seams).value_or(TBrowserCommand{});
  }
  return !s.command.path.empty() && s.seams.fileExists && s.seams.fileExists(s.command.path);
}

bool TGoToWeb::OpenAddress(std::string address) {
  std::replace(address.begin(), address.end(), '\\', '/');
  if (!BrowserAvailable()) return false;
  const BrowserState& s = State();
  if (!s.seams.start) return false;
  return s.seams.start(s.command.path, FillBrowserParameters(s.command.format, address));
}

}  // namespace kv
