// The tool's entry and its subcommand table.
#include <algorithm>
#include <iostream>
#include <map>

#include "base/exception.h"
#include "base/ini_file.h"
#include "engine/action_registry.h"
#include "tools/kvcheck/kvcheck.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "base/win/wide.h"
#endif

namespace kv::kvcheck {

namespace {

struct Subcommand {
  std::string usage;
  TSubcommandFn run;
};

// Filled by static registration before main runs; read only afterwards.
std::map<std::string, Subcommand>& Table() {
  static std::map<std::string, Subcommand> table;
  return table;
}

void PrintUsage(std::ostream& err) {
  err << "usage: kvcheck <subcommand> ...\n";
  for (const auto& [name, sub] : Table()) err << "  kvcheck " << name << " " << sub.usage << "\n";
}

}  // namespace

bool RegisterSubcommand(const char* name, const char* usage, TSubcommandFn run) {
  return Table().emplace(name, Subcommand{usage, run}).second;
}

std::string Escaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

std::vector<std::string> ReadLines(const std::string& fileName) {
  const std::string bytes = ReadFileBytes(fileName);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

int Run(const std::vector<std::string>& words) {
  RegisterStandardTransActions();
  if (words.empty()) {
    PrintUsage(std::cerr);
    return kExitUsage;
  }
  const auto it = Table().find(words[0]);
  if (it == Table().end()) {
    std::cerr << "kvcheck: unknown subcommand: " << words[0] << "\n";
    PrintUsage(std::cerr);
    return kExitUsage;
  }
  const std::vector<std::string> args(words.begin() + 1, words.end());
  try {
    return it->second.run(args, std::cout);
  } catch (const std::exception& e) {
    std::cout << "error=" << Escaped(e.what()) << "\n";
    return kExitFailed;
  }
}

}  // namespace kv::kvcheck

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  // Lines end with LF on every system, so tests compare one output.
  _setmode(_fileno(stdout), _O_BINARY);
  std::vector<std::string> words;
  for (int i = 1; i < argc; ++i) words.push_back(kv::win::Narrow(argv[i]));
  const int status = kv::kvcheck::Run(words);
  std::cout.flush();
  return status;
}
#else
int main(int argc, char** argv) {
  std::vector<std::string> words(argv + 1, argv + argc);
  const int status = kv::kvcheck::Run(words);
  std::cout.flush();
  return status;
}
#endif
