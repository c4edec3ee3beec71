#pragma once
// The program's entry after the process started: the one-time set-up, the main window, the
// message loop. Returns the process's exit code.
namespace kv {

class TMainWindowHooks;

int RunKorvanta(TMainWindowHooks& hooks);

}  // namespace kv
