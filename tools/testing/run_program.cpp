#include "tools/testing/run_program.h"

#include <windows.h>

#include <vector>

namespace kv::tools::test {

RunResult RunProgram(const std::wstring& program, const std::wstring& arguments) {
  RunResult result;
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring path = exe;
  path = path.substr(0, path.find_last_of(L"\\/") + 1) + program;

  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return result;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = writeEnd;
  si.hStdError = writeEnd;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  std::wstring commandLine = L"\"" + path + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  std::vector<wchar_t> cl(commandLine.begin(), commandLine.end());
  cl.push_back(0);
  PROCESS_INFORMATION pi{};
  const BOOL ok = CreateProcessW(path.c_str(), cl.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                 nullptr, nullptr, &si, &pi);
  CloseHandle(writeEnd);
  if (!ok) {
    CloseHandle(readEnd);
    return result;
  }
  result.started = true;
  char buffer[4096];
  DWORD n = 0;
  while (ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0) {
    result.output.append(buffer, n);
  }
  CloseHandle(readEnd);
  WaitForSingleObject(pi.hProcess, 120000);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  result.exitCode = code;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return result;
}

}  // namespace kv::tools::test
