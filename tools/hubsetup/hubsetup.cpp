// hubsetup: installs or removes the virtual MIDI bus driver from the command line, for an
// installation program to run with administrator rights. Its exit code is the library's.
//
//   hubsetup [-v] -i <path of the .INF file>
//   hubsetup [-v] -u
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>

#include "vmplib/vmplib.h"

namespace {

const char kUsage[] =
    "Syntax:\n"
    " hubsetup.exe [-v] cmd [path]\n"
    "   -v      optional, verbose mode (must be first argument)\n"
    "   cmd     One of the following command switch:\n"
    "           -i   install bus driver if not already installed\n"
    "           -u   uninstall bus driver from system\n"
    "\n"
    "   path    Valid only for -i switch and specifies full qualified path to .INF file";

int SyntaxError() {
  std::fputs(kUsage, stdout);
  std::fputs("\n", stdout);
  return -1;
}

void Report(const char* format, uint32_t result) {
  char message[1001];
  std::snprintf(message, sizeof message, format, int(result), result == 0 ? "OK" : "ERROR");
  std::fputs(message, stdout);
  std::fputs("\n", stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // The texts go out exactly as written, without line-end translation.
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 2) return SyntaxError();
  const bool verbose = std::wcscmp(argv[1], L"-v") == 0;
  const int command = verbose ? 2 : 1;
  if (command >= argc) return SyntaxError();
  const wchar_t* cmd = argv[command];
  uint32_t result = 0;
  const char* format = nullptr;
  if (std::wcscmp(cmd, L"-i") == 0) {
    if (command + 1 >= argc) return SyntaxError();
    int32_t reboot = 0;
    // The path stays UTF-16 from the command line on, so no character of it is lost.
    result = VMPL_InstallBusDriver(reinterpret_cast<const VMPL_Char*>(argv[command + 1]), &reboot);
    format = "Install bus driver. Exit code %d:\n%s";
  } else if (std::wcscmp(cmd, L"-u") == 0) {
    result = VMPL_UninstallBusDriver();
    if (result == VMPL_ERR_BUS_REMOVE && VMPL_IsBusInstalled() == 0) {
      if (verbose) {
        std::fputs("Uninstall bus driver. Bus is not installed.\n", stdout);
        std::fputs("\n", stdout);
      }
      return 0;
    }
    format = "Uninstall bus driver. Exit code %d:\n%s";
  } else {
    return SyntaxError();
  }
  if (verbose) Report(format, result);
  return int(result);
}
