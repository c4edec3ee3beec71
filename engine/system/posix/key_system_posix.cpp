// Natively there is no keyboard to drive: keys sent are recorded.
#include "engine/system/key_system.h"

namespace kv {

IKeySystem& DefaultKeySystem() {
  static TKeyRecorder recorder;
  return recorder;
}

}  // namespace kv
