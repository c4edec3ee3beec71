#include "engine/system/execute_file_system.h"

#include <atomic>

namespace kv {

// The build's own implementation: the shell, or a recorder natively.
IExecuteSystem& DefaultExecuteSystem();

namespace {
std::atomic<IExecuteSystem*> gExecuteSystem{nullptr};
}  // namespace

IExecuteSystem& GetExecuteSystem() {
  IExecuteSystem* system = gExecuteSystem.load(std::memory_order_acquire);
  return system != nullptr ? *system : DefaultExecuteSystem();
}

TScopedExecuteSystem::TScopedExecuteSystem(IExecuteSystem& system)
    : previous_(gExecuteSystem.exchange(&system, std::memory_order_acq_rel)) {}

TScopedExecuteSystem::~TScopedExecuteSystem() {
  gExecuteSystem.store(previous_, std::memory_order_release);
}

bool TExecuteRecorder::Execute(const std::string& file, const std::string& parameters) {
  const std::string line = "exec " + file + " " + parameters;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    lines_.push_back(line);
  }
  if (OnLine) OnLine(line);
  return !fail;
}

std::vector<std::string> TExecuteRecorder::Lines() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return lines_;
}

void TExecuteRecorder::ClearRecord() {
  std::lock_guard<std::mutex> hold(mutex_);
  lines_.clear();
}

}  // namespace kv
