// The native build reads the caller's memory through the kernel, which answers an address
// that is not mapped or not readable with an error instead of a signal.
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "vmplib/caller_memory.h"

namespace kv::vmpl {

bool CopyCallerMemory(void* to, const void* from, size_t n) {
  if (n == 0) return true;
  iovec local{to, n};
  iovec remote{const_cast<void*>(from), n};
  const ssize_t copied = process_vm_readv(getpid(), &local, 1, &remote, 1, 0);
  if (copied >= 0) return size_t(copied) == n;
  if (errno != ENOSYS && errno != EPERM) return false;
  // A sandbox without the call: no check at all, as before it existed.
  std::memcpy(to, from, n);
  return true;
}

}  // namespace kv::vmpl
