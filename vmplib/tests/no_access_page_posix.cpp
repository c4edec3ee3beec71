#include <sys/mman.h>

#include "vmplib/tests/no_access_page.h"

namespace kv::vmpl::test {

TNoAccessPage::TNoAccessPage()
    : base_(static_cast<uint8_t*>(mmap(nullptr, 2 * kPageBytes, PROT_READ | PROT_WRITE,
                                       MAP_PRIVATE | MAP_ANONYMOUS, -1, 0))) {
  mprotect(base_ + kPageBytes, kPageBytes, PROT_NONE);
}

TNoAccessPage::~TNoAccessPage() {
  munmap(base_, 2 * kPageBytes);
}

}  // namespace kv::vmpl::test
