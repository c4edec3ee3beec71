#include "midi/virtual/vmpl_api.h"

namespace kv {

namespace {

uint32_t NoVersion() {
  return 0;
}
uint32_t NoPortCount() {
  return VMPL_NO_PORT_COUNT;
}
uint32_t NoPortInfo(uint32_t, VMPL_PortInfo** info) {
  if (info) *info = nullptr;
  return VMPL_ERR_BUS_CONNECT;
}
uint32_t NoDestroyInfo(VMPL_PortInfo*) {
  return VMPL_ERR_INVALID_PARAMETER;
}
uint32_t NoAddPort(const VMPL_PortDesc*) {
  return VMPL_ERR_BUS_CONNECT;
}
uint32_t NoRemovePort(const VMPL_PortInfo*) {
  return VMPL_ERR_BUS_CONNECT;
}
uint32_t NoConnect(const VMPL_PortInfo*, VMPL_Handle* handle) {
  if (handle) *handle = 0;
  return VMPL_ERR_BUS_CONNECT;
}
uint32_t NoHandle(VMPL_Handle) {
  return VMPL_ERR_INVALID_HANDLE;
}
uint32_t NoSendShort(VMPL_Handle, uint32_t) {
  return VMPL_ERR_INVALID_HANDLE;
}
uint32_t NoSendLong(VMPL_Handle, const uint8_t*, uint32_t) {
  return VMPL_ERR_INVALID_HANDLE;
}
uint32_t NoReceive(VMPL_Handle, VMPL_Message*) {
  return VMPL_ERR_INVALID_HANDLE;
}
uint32_t ShortLength(uint32_t message) {
  const uint32_t status = message & 0xFF;
  if (status < 0x80) return 0;
  if (status < 0xC0 || (status >= 0xE0 && status < 0xF0) || status == 0xF2) return 3;
  if (status < 0xE0 || status == 0xF1 || status == 0xF3) return 2;
  return 1;
}
uint32_t NoBus() {
  return 0;
}
uint32_t NoInstall(const VMPL_Char*, int32_t* rebootNeeded) {
  if (rebootNeeded) *rebootNeeded = 0;
  return VMPL_ERR_BUS_INSTALL;
}
uint32_t NoUninstall() {
  return VMPL_ERR_BUS_REMOVE;
}

}  // namespace

const TVmplApi& UnavailableVmplApi() {
  static const TVmplApi api = {NoVersion,    NoPortCount, NoPortInfo, NoDestroyInfo, NoAddPort,
                               NoRemovePort, NoConnect,   NoHandle,   NoSendShort,   NoSendLong,
                               NoReceive,    ShortLength, NoBus,      NoInstall,     NoUninstall};
  return api;
}

}  // namespace kv
