// Natively there are no windows: a recorder stands in, with no windows until a caller adds
// some.
#include "engine/system/target_window_system.h"

namespace kv {

IWindowSystem& DefaultWindowSystem() {
  static TWindowRecorder recorder;
  return recorder;
}

}  // namespace kv
