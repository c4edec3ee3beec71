// Natively there is no shell to start programs with: starts are recorded.
#include "engine/system/execute_file_system.h"

namespace kv {

IExecuteSystem& DefaultExecuteSystem() {
  static TExecuteRecorder recorder;
  return recorder;
}

}  // namespace kv
