#pragma once
// Runs one of the tools from a Windows test: the program beside the test executable, its
// standard output captured whole, its exit code returned.
#include <cstdint>
#include <string>

namespace kv::tools::test {

struct RunResult {
  uint32_t exitCode = 0;
  std::string output;
  bool started = false;
};

// program: a file name beside the running test executable; arguments: the command line after
// the program's own (quoted) name.
RunResult RunProgram(const std::wstring& program, const std::wstring& arguments);

}  // namespace kv::tools::test
