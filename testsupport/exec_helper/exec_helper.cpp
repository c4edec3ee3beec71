// A helper program the execute-file tests start: it writes its parameters, one a line, to
// the file named by its first parameter, under a temporary name first so that the file
// appears whole.
#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const std::wstring marker = argv[1];
  const std::wstring temporary = marker + L".tmp";
  HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  for (int i = 2; i < argc; ++i) {
    std::string line;
    for (const wchar_t* c = argv[i]; *c != 0; ++c) line += static_cast<char>(*c);
    line += "\n";
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  }
  CloseHandle(file);
  return MoveFileExW(temporary.c_str(), marker.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
