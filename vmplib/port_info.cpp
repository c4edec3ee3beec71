#include "vmplib/port_info.h"

#include <memory>
#include <mutex>
#include <set>

namespace kv::vmpl {
namespace {

struct TIssued {
  std::mutex lock;
  std::set<const VMPL_PortInfo*> records;  // guarded by lock
};

TIssued& Issued() {
  static TIssued issued;
  return issued;
}

const VMPL_Char* CopyString(const std::optional<std::u16string>& s) {
  if (!s) return nullptr;
  auto copy = std::make_unique<VMPL_Char[]>(s->size() + 1);
  s->copy(copy.get(), s->size());
  copy[s->size()] = 0;
  return copy.release();
}

void FreeString(const VMPL_Char* s) {
  std::unique_ptr<const VMPL_Char[]> owned(s);
}

}  // namespace

VMPL_PortInfo* MakePortInfo(uint32_t type, uint32_t value, uint32_t portId,
                            const std::optional<std::u16string>& deviceName,
                            const std::optional<std::u16string>& outName,
                            const std::optional<std::u16string>& inName) {
  auto info = std::make_unique<VMPL_PortInfo>();
  *info = VMPL_PortInfo{};
  info->version = VMPL_VERSION;
  info->type = type;
  info->value = value;
  info->portId = portId;
  // Should a copy fail, the strings already made go with the record.
  struct TStrings {
    VMPL_PortInfo* info;
    ~TStrings() {
      if (!info) return;
      FreeString(info->deviceName);
      FreeString(info->outName);
      FreeString(info->inName);
    }
  } guard{info.get()};
  info->deviceName = CopyString(deviceName);
  info->outName = CopyString(outName);
  info->inName = CopyString(inName);
  {
    TIssued& issued = Issued();
    std::lock_guard lock(issued.lock);
    issued.records.insert(info.get());
  }
  guard.info = nullptr;
  return info.release();
}

uint32_t DestroyPortInfo(VMPL_PortInfo* info) {
  if (!info) return VMPL_ERR_INVALID_PARAMETER;
  TIssued& issued = Issued();
  {
    std::lock_guard lock(issued.lock);
    auto it = issued.records.find(info);
    if (it == issued.records.end()) return VMPL_ERR_INVALID_PARAMETER;
    if (info->version != VMPL_VERSION) return VMPL_ERR_VERSION_MISMATCH;
    issued.records.erase(it);
  }
  std::unique_ptr<VMPL_PortInfo> owned(info);
  FreeString(owned->outName);
  FreeString(owned->inName);
  FreeString(owned->deviceName);
  return VMPL_OK;
}

size_t LivePortInfoCount() {
  TIssued& issued = Issued();
  std::lock_guard lock(issued.lock);
  return issued.records.size();
}

}  // namespace kv::vmpl
