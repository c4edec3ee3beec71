#include <windows.h>

#include "vmplib/tests/no_access_page.h"

namespace kv::vmpl::test {

TNoAccessPage::TNoAccessPage()
    : base_(static_cast<uint8_t*>(
          VirtualAlloc(nullptr, 2 * kPageBytes, MEM_RESERVE, PAGE_NOACCESS))) {
  VirtualAlloc(base_, kPageBytes, MEM_COMMIT, PAGE_READWRITE);
}

TNoAccessPage::~TNoAccessPage() {
  VirtualFree(base_, 0, MEM_RELEASE);
}

}  // namespace kv::vmpl::test
