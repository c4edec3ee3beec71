#pragma once
// kvcheck: a command-line tool that drives the engine's model from outside, for tests and
// reviewers. Each subcommand lives in its own source file (kvcheck_<name>.cpp) and registers
// itself with one line at namespace scope:
//
//   KVCHECK_SUBCOMMAND(project, "IN OUT", RunProject);
//
// Every .cpp file in this folder is built into the tool, so adding a file is all it takes.
// A subcommand writes its lines to out (print values through Escaped) and returns the exit
// status; it may throw kv::Exception, which the tool prints as "error=<message>" with status 1.
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace kv::kvcheck {

// args are the words after the subcommand's name.
using TSubcommandFn = int (*)(const std::vector<std::string>& args, std::ostream& out);

bool RegisterSubcommand(const char* name, const char* usage, TSubcommandFn run);

// CR and LF as the two-character escapes "\r" and "\n".
std::string Escaped(std::string_view text);

// Lines of a text file (CR LF or LF); throws kv::EFileError when it cannot be read.
std::vector<std::string> ReadLines(const std::string& fileName);

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

}  // namespace kv::kvcheck

#define KVCHECK_SUBCOMMAND(name, usage, fn)                      \
  static const bool kvcheck_registered_##name [[maybe_unused]] = \
      ::kv::kvcheck::RegisterSubcommand(#name, usage, fn)
