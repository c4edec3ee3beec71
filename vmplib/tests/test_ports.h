#pragma once
// Helpers for tests that drive the exported functions over the stand-in bus.
#include <memory>
#include <string>

#include "vmplib/vmplib.h"

namespace kv::vmpl::test {

struct InfoDeleter {
  void operator()(VMPL_PortInfo* p) const { VMPL_DestroyInfo(p); }
};
using InfoPtr = std::unique_ptr<VMPL_PortInfo, InfoDeleter>;

inline uint32_t AddPort(uint32_t type, const char16_t* device, const char16_t* out = nullptr,
                        const char16_t* in = nullptr, uint32_t value = 0) {
  VMPL_PortDesc d{};
  d.version = VMPL_VERSION;
  d.type = type;
  d.deviceName = device;
  d.outName = out;
  d.inName = in;
  d.value = value;
  return VMPL_AddPort(&d);
}

inline InfoPtr GetInfo(uint32_t index) {
  VMPL_PortInfo* p = nullptr;
  if (VMPL_GetPortInfo(index, &p) != VMPL_OK) return nullptr;
  return InfoPtr(p);
}

inline std::u16string Str(const VMPL_Char* s) {
  return s ? std::u16string(s) : std::u16string(u"<null>");
}

// A connection closed at the end of the scope when the test has not closed it.
class Connection {
 public:
  explicit Connection(const VMPL_PortInfo* info) { code_ = VMPL_Connect(info, &h_); }
  ~Connection() {
    if (h_) VMPL_Disconnect(h_);
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  uint32_t code() const { return code_; }
  VMPL_Handle handle() const { return h_; }
  uint32_t Disconnect() {
    const uint32_t r = VMPL_Disconnect(h_);
    if (r == VMPL_OK || r == VMPL_ERR_IO) h_ = 0;
    return r;
  }

 private:
  VMPL_Handle h_ = 0;
  uint32_t code_ = 0;
};

}  // namespace kv::vmpl::test
