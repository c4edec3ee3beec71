#pragma once
// Opening web addresses in the user's default browser, found once per run from the classes
// registered for "http" and ".html". When no browser is found, links are plain text and
// opening one does nothing. The registry, the file test and the start of the browser go
// through TBrowserSeams so the search and the command parsing are tested without Windows.
// Main thread only.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kv {

struct TBrowserCommand {
  std::string path;    // the browser program
  std::string format;  // its parameters, "%s" where the address goes
};

// A registered open command such as "\"C:\\x\\browser.exe\" -url \"%1\"": the program and
// its parameter format; nothing when no ".EXE", ".BAT" or ".COM" ends a program path.
std::optional<TBrowserCommand> ParseBrowserCommand(std::string_view command);
// The parameters with the address put in place of the first "%s" by plain replacement: a
// "%" inside the address or the format is only text.
std::string FillBrowserParameters(std::string_view format, std::string_view address);

struct TBrowserSeams {
  // The default value of a key under the classes root; nullopt when the key does not open.
  std::function<std::optional<std::string>(const std::string& key)> readClassDefault;
  std::function<bool(const std::string& path)> fileExists;
  // Starts program with parameters; true when the shell reports success.
  std::function<bool(const std::string& program, const std::string& parameters)> start;
};
// The seams in use (the platform's unless a test set others); setting them forgets the
// browser found so far.
void SetBrowserSeams(TBrowserSeams seams);
// Searches "http" then ".html"; the first command found ends the search.
std::optional<TBrowserCommand> FindBrowserCommand(const TBrowserSeams& seams);

class TGoToWeb {
 public:
  // Stored with the form; no operation here uses them.
  std::string Url, EMail, EMailSubject;

  // Runs the search once per run; true when the browser program exists.
  static bool BrowserAvailable();
  // "\" becomes "/"; false without a browser or when the start fails.
  static bool OpenAddress(std::string address);
  bool OpenUrl() const { return OpenAddress(Url); }
};

}  // namespace kv
