#include "engine/system/execute_file_system.h"

namespace kv {

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
