// Copies with the caller's memory on Windows. mingw-w64 has no structured exception handling
// in C++, so the copy is one string instruction in a leaf routine of its own, and a vectored
// exception handler that sees an access fault at exactly that instruction resumes the thread
// at the routine's failure exit. The faulting thread holds no lock and owns nothing there, so
// resuming it elsewhere is sound; faults anywhere else are left to the process's handlers.
#include <windows.h>

#include "vmplib/caller_memory.h"

extern "C" {
// int kv_vmpl_ProbeCopy(void* to, const void* from, size_t n): 1 when all n bytes were
// copied, 0 when the copy faulted. rdi and rsi are callee-saved in this calling convention
// and kept in r9 and r10, which the fault handler leaves as they were.
int kv_vmpl_ProbeCopy(void* to, const void* from, size_t n);
extern const char kv_vmpl_ProbeCopyFaultAt[];
extern const char kv_vmpl_ProbeCopyFailed[];
}

asm(R"(
  .text
  .p2align 4
  .globl kv_vmpl_ProbeCopy
  .def kv_vmpl_ProbeCopy; .scl 2; .type 32; .endef
kv_vmpl_ProbeCopy:
  movq %rdi, %r9
  movq %rsi, %r10
  movq %rcx, %rdi
  movq %rdx, %rsi
  movq %r8, %rcx
  .globl kv_vmpl_ProbeCopyFaultAt
kv_vmpl_ProbeCopyFaultAt:
  rep movsb
  movq %r9, %rdi
  movq %r10, %rsi
  movl $1, %eax
  ret
  .globl kv_vmpl_ProbeCopyFailed
kv_vmpl_ProbeCopyFailed:
  movq %r9, %rdi
  movq %r10, %rsi
  xorl %eax, %eax
  ret
)");

namespace kv::vmpl {
namespace {

LONG CALLBACK ProbeFaultHandler(EXCEPTION_POINTERS* e) {
  const DWORD code = e->ExceptionRecord->ExceptionCode;
  const bool fault = code == EXCEPTION_ACCESS_VIOLATION || code == EXCEPTION_GUARD_PAGE ||
                     code == EXCEPTION_IN_PAGE_ERROR;
  CONTEXT& context = *e->ContextRecord;
  if (!fault || context.Rip != reinterpret_cast<DWORD64>(kv_vmpl_ProbeCopyFaultAt)) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  context.Rip = reinterpret_cast<DWORD64>(kv_vmpl_ProbeCopyFailed);
  return EXCEPTION_CONTINUE_EXECUTION;
}

// Installed on first use and removed when the library leaves the process: a handler must not
// outlive the code it points to.
class TProbeHandler {
 public:
  TProbeHandler() : handle_(AddVectoredExceptionHandler(1, ProbeFaultHandler)) {}
  ~TProbeHandler() {
    if (handle_) RemoveVectoredExceptionHandler(handle_);
  }
  TProbeHandler(const TProbeHandler&) = delete;
  TProbeHandler& operator=(const TProbeHandler&) = delete;
  bool Installed() const { return handle_ != nullptr; }

 private:
  PVOID handle_;
};

}  // namespace

bool CopyCallerMemory(void* to, const void* from, size_t n) {
  static const TProbeHandler handler;
  if (n == 0) return true;
  if (handler.Installed()) return kv_vmpl_ProbeCopy(to, from, n) != 0;
  // Without a handler the copy goes unguarded, as it would without this file.
  CopyMemory(to, from, n);
  return true;
}

}  // namespace kv::vmpl
