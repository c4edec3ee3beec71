#pragma once
// The question at exit when the settings could not be saved: the user may try again (after
// closing the program that holds the file, say), quit without saving them, or go on working.
// Main thread.
#include <string>

namespace kv {

enum class TFailedSaveAnswer { Retry, QuitWithoutSaving, Cancel };

// error names each store that failed and why. Modal; the buttons stay disabled for the first
// moment, so a key pressed by chance cannot throw the settings away.
TFailedSaveAnswer AskAfterFailedSettingsSave(const std::string& error,
                                             const std::string& programTitle);

}  // namespace kv
