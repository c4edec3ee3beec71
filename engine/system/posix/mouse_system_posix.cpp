// Natively there is no mouse to drive: events sent are recorded.
#include "engine/system/mouse_system.h"

namespace kv {

IMouseSystem& DefaultMouseSystem() {
  static TMouseRecorder recorder;
  return recorder;
}

}  // namespace kv
