#pragma once
// The caller's memory at the library's boundary. A caller may hand an exported function a
// pointer to memory that is not there (freed, or reserved without access); everything the
// library reads from or writes to a caller's record, string or out-value goes through here, so
// that such a pointer becomes a result code instead of a fault that ends the caller's process.
//
// Nothing here takes a lock or allocates while it touches the caller's memory, so a fault
// leaves no state behind. Windows: win/caller_memory_win.cpp; natively caller_memory_posix.cpp.
#include <cstddef>
#include <cstdint>
#include <string>

#include "vmplib/vmplib.h"

namespace kv::vmpl {

// Copies n bytes; false when a byte of either side cannot be reached (`to` then holds part of
// the data at most).
bool CopyCallerMemory(void* to, const void* from, size_t n);

template <typename T>
bool ReadCaller(const T* from, T& to) {
  return CopyCallerMemory(&to, from, sizeof(T));
}

template <typename T>
bool WriteCaller(T* to, const T& value) {
  return CopyCallerMemory(to, &value, sizeof(T));
}

enum class TCallerString { Read, Unreadable, TooLong };
// A zero-terminated UTF-16 string of at most maxChars characters. It is read page by page, so
// a readable string that ends just before an unreadable page is read whole.
TCallerString ReadCallerString(const VMPL_Char* from, size_t maxChars, std::u16string& to);

}  // namespace kv::vmpl
