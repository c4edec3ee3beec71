#pragma once
// Adding and removing the program's virtual port pairs until the wanted number exists
// (the command line and the settings dialog ask for it, on the main thread).
#include <string>

namespace kv {

// What the setup needs from the program around it: the three message dialogs (their buttons
// stay disabled for the first 200 ms).
//
// Lifecycle: the program installs its host at start-up with SetVirtualPortSetupHost and keeps
// it alive until the end (nullptr restores the default, which answers OK to every question).
// Used on the main thread only.
class TVirtualPortSetupHost {
 public:
  virtual ~TVirtualPortSetupHost() = default;
  // A warning with OK and Cancel: true for OK.
  virtual bool ConfirmWarning(const std::string& text) = 0;
  // An error with OK and Cancel: true for OK.
  virtual bool ErrorOkCancel(const std::string& text) = 0;
  // An error with OK.
  virtual void Error(const std::string& text) = 0;
};

void SetVirtualPortSetupHost(TVirtualPortSetupHost* host);

inline constexpr int kVirtualPortsAsWanted = 1;
inline constexpr int kVirtualPortsFailed = 2;

// Makes count pairs of ports named after nameBase exist: adds numbered ones (title, and the
// pair number when numbered is set) or removes from the end of the list sorted by device
// name, each after closing its MIDI manager slots. With ask, the user confirms first. Returns
// kVirtualPortsAsWanted when the ports are as wanted (or nothing had to be done),
// kVirtualPortsFailed when the user cancelled or something failed. host, when given, answers
// and reports instead of the program's (a run that must not wait for a user logs instead).
int SetVirtualPortCount(const std::string& nameBase, const std::string& title, int count, bool ask,
                        bool numbered, TVirtualPortSetupHost* host = nullptr);

}  // namespace kv
