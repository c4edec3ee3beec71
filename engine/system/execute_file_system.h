#pragma once
// Seam: starting a program or opening a document through the shell, as the execute-file
// action needs it.
//
// Lifecycle (base/seam.h): GetExecuteSystem() returns the process-wide implementation: the
// shell's default verb with the foreground window as owner in the Windows build
// (engine/system/win/execute_file_system_win.cpp), a TExecuteRecorder natively. A test (or
// the checking tool) puts its own in place for a scope with TScopedExecuteSystem.
//
// Thread: the action has execution level 3, so Execute is called on the main thread only.
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "base/seam.h"

namespace kv {

class IExecuteSystem {
 public:
  virtual ~IExecuteSystem() = default;
  // Starts the file with its default verb, shown normally, with no working folder; true
  // when the shell reports success.
  virtual bool Execute(const std::string& file, const std::string& parameters) = 0;
};

// The build's own implementation: the shell, or a recorder natively.
IExecuteSystem& DefaultExecuteSystem();
using TExecuteSystemSeam = TSeam<IExecuteSystem, DefaultExecuteSystem>;
inline IExecuteSystem& GetExecuteSystem() { return TExecuteSystemSeam::Get(); }
using TScopedExecuteSystem = TExecuteSystemSeam::TScope;

// A stand-in that records each start as a line "exec <file> <parameters>" and reports
// success unless fail is set. OnLine, when set before use, also receives each line.
//
// Lock: mutex_ guards lines_; OnLine is called without it.
class TExecuteRecorder : public IExecuteSystem {
 public:
  bool Execute(const std::string& file, const std::string& parameters) override;
  std::vector<std::string> Lines() const;
  void ClearRecord();

  std::function<void(const std::string&)> OnLine;
  bool fail = false;

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
};

}  // namespace kv
