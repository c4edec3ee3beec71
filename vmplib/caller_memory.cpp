#include "vmplib/caller_memory.h"

namespace kv::vmpl {
namespace {

// The smallest page size of the supported systems: a read that stops at such a boundary never
// reaches into the next page.
constexpr uintptr_t kPageBytes = 4096;

}  // namespace

TCallerString ReadCallerString(const VMPL_Char* from, size_t maxChars, std::u16string& to) {
  to.clear();
  VMPL_Char chunk[kPageBytes / sizeof(VMPL_Char)];
  auto at = reinterpret_cast<uintptr_t>(from);
  for (;;) {
    const size_t chars = (kPageBytes - at % kPageBytes) / sizeof(VMPL_Char);
    // A misaligned string straddles pages with its characters; read the one across whole.
    const size_t take = chars > 0 ? chars : 1;
    if (!CopyCallerMemory(chunk, reinterpret_cast<const void*>(at), take * sizeof(VMPL_Char))) {
      return TCallerString::Unreadable;
    }
    for (size_t i = 0; i < take; ++i) {
      if (chunk[i] == 0) return TCallerString::Read;
      if (to.size() == maxChars) return TCallerString::TooLong;
      to.push_back(chunk[i]);
    }
    at += take * sizeof(VMPL_Char);
  }
}

}  // namespace kv::vmpl
