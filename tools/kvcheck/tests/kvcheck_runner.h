#pragma once
// Runs the native kvcheck binary for a test and collects what it prints and its exit status.
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <string>

struct Result {
  std::string out;
  int status = -1;
};

inline Result RunTool(const std::string& args) {
  Result r;
  const std::string command = std::string(KVCHECK_PATH) + " " + args + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return r;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, n);
  const int status = pclose(pipe);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

// Writes a file in the tests' scratch folder and returns its path.
inline std::string WriteTempFile(const std::string& name, const std::string& text) {
  const std::string path = std::string(KVCHECK_TEMP_DIR) + "/" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}
