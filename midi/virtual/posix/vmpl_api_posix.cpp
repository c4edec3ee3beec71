// No virtual MIDI bus natively.
#include "midi/virtual/vmpl_api.h"

namespace kv {

const TVmplApi& DefaultVmplApi() {
  return UnavailableVmplApi();
}

}  // namespace kv
