#include "midi/virtual/virtual_port.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "base/text.h"
#include "base/utils.h"
#include "midi/system/port_text.h"

namespace kv {

// --- errors ---------------------------------------------------------------------------------

std::string GetVmplErrorText(uint32_t code) {
  switch (code) {
    case VMPL_OK:
      return "No error";
    case VMPL_ERR_INVALID_PARAMETER:
      return "invalid parameter";
    case VMPL_ERR_ALREADY_EXISTS:
      return "already exists";
    case VMPL_ERR_PORT_DOES_NOT_EXIST:
      return "port does not exist";
    case VMPL_ERR_STILL_CONNECTED:
      return "still connected";
    case VMPL_ERR_INVALID_HANDLE:
      return "invalid handle";
    case VMPL_ERR_NOT_OPEN_FOR_OUTPUT:
      return "not open for output";
    case VMPL_ERR_NOT_OPEN_FOR_INPUT:
      return "not open for input";
    case VMPL_ERR_NO_RESOURCES:
      return "not enough system resources";
    case VMPL_ERR_IO:
      return "unknown IO error";
    case VMPL_ERR_NO_MORE_DATA:
      return "no more data";
    case VMPL_ERR_ALREADY_CONNECTED:
      return "already connected";
    case VMPL_ERR_NOT_CONNECTED:
      return "not connected";
    case VMPL_ERR_BUS_CONNECT:
      return "error connecting to virtual MIDI bus";
    case VMPL_ERR_BUS_INSTALL:
      return "error installing virtual MIDI bus";
    case VMPL_ERR_BUS_REMOVE:
      return "error removing virtual MIDI bus";
    case VMPL_ERR_BUFFER_TOO_SMALL:
      return "buffer too small";
    case VMPL_ERR_VERSION_MISMATCH:
      return "driver version mismatch";
    default:
      return "unknown error code " + IntToStr(static_cast<int32_t>(code));
  }
}

EVMIDIError::EVMIDIError(uint32_t code, const std::string& context)
    : EMidiError(context.empty() ? GetVmplErrorText(code)
                                 : context + "\r\n" + GetVmplErrorText(code)),
      code_(code) {}

void RaiseVmplError(uint32_t code, const std::string& context) {
  if (code != VMPL_OK) throw EVMIDIError(code, context);
}

// --- names ----------------------------------------------------------------------------------

namespace {

constexpr std::string_view kForbiddenNameChars = "\"'*/:<>?\\";
constexpr uint32_t kFirstMatchingVersion = 0x1000;  // libraries up to this one do not match

struct TPrefixes {
  std::mutex mutex;  // guards both texts
  std::string outputSide = "From ";
  std::string inputSide = "To ";
};

TPrefixes& Prefixes() {
  static TPrefixes prefixes;
  return prefixes;
}

template <typename Char>
bool IsForbiddenNameChar(Char c) {
  if (static_cast<uint32_t>(c) <= 32) return true;
  return static_cast<uint32_t>(c) < 128 &&
         kForbiddenNameChars.find(static_cast<char>(c)) != std::string_view::npos;
}

std::string StripBoth(std::string_view text, const std::string& ownPrefix,
                      std::string_view standardPrefix) {
  std::string result = StripPrefix(text, ownPrefix);
  if (!SameText(ownPrefix, standardPrefix)) result = StripPrefix(result, standardPrefix);
  return result;
}

std::string MakeDisplayName(std::string stripped, std::string_view displayPrefix) {
  if (StrEndsWith(stripped, displayPrefix, false)) return stripped;
  return std::string(displayPrefix) + " " + stripped;
}

bool ContainsFilter(const VMPL_PortInfo& info, const std::u16string& filter) {
  return filter.empty() || VmplText(info.deviceName).find(filter) != std::u16string::npos;
}

bool MatchesType(const VMPL_PortInfo* info, uint32_t sideType, const std::u16string& filter) {
  if (!info || VmplApi().GetVersion() <= kFirstMatchingVersion) return false;
  if (info->type != sideType && info->type != VMPL_PORT_BOTH) return false;
  return ContainsFilter(*info, filter);
}

// The record of the port the device id named. Port indexes shift when the list changes, so
// the port is looked for by its device name when the index now holds another.
TVmplInfoPtr FindPortRecord(int32_t id, const std::u16string& deviceName, int32_t& foundId,
                            uint32_t& code) {
  foundId = id;
  code = VMPL_OK;
  TVmplInfoPtr info = GetVmplPortInfo(static_cast<uint32_t>(id), code);
  if (!info) {
    if (code == VMPL_OK) code = VMPL_ERR_PORT_DOES_NOT_EXIST;
    return nullptr;
  }
  if (deviceName.empty() || VmplText(info->deviceName) == deviceName) return info;
  const int32_t count = static_cast<int32_t>(VmplApi().GetPortCount());
  for (int32_t i = 0; i < count; ++i) {
    uint32_t c = VMPL_OK;
    TVmplInfoPtr other = GetVmplPortInfo(static_cast<uint32_t>(i), c);
    if (other && VmplText(other->deviceName) == deviceName) {
      foundId = i;
      return other;
    }
  }
  code = VMPL_ERR_PORT_DOES_NOT_EXIST;
  return nullptr;
}

// The side's name of the port at index when it matches, and its device name.
std::string ReadPortName(int index, uint32_t sideType, const std::u16string& filter,
                         std::u16string* deviceName) {
  uint32_t code = VMPL_OK;
  TVmplInfoPtr info = GetVmplPortInfo(static_cast<uint32_t>(index), code);
  if (deviceName) deviceName->clear();
  if (!info || !MatchesType(info.get(), sideType, filter)) return {};
  if (deviceName) *deviceName = VmplText(info->deviceName);
  const VMPL_Char* name = sideType == VMPL_PORT_OUTPUT ? info->outName : info->inName;
  return NarrowFromUtf16(VmplText(name));
}

}  // namespace

void CleanPortName(std::string& text) {
  std::erase_if(text, [](char c) { return IsForbiddenNameChar(static_cast<unsigned char>(c)); });
}

void CleanPortNameW(std::u16string& text) {
  std::erase_if(text, [](char16_t c) { return IsForbiddenNameChar(c); });
}

std::string StripPrefix(std::string_view text, std::string_view prefix) {
  if (!prefix.empty() && StrBeginsWith(text, prefix, false)) text.remove_prefix(prefix.size());
  return std::string(text);
}

std::string StripFromPrefix(std::string_view text) {
  return StripBoth(text, GetVirtualOutputPrefix(), "From ");
}

std::string StripToPrefix(std::string_view text) {
  return StripBoth(text, GetVirtualInputPrefix(), "To ");
}

std::string MakeVirtualOutName(std::string_view name) {
  if (name.empty()) return {};
  return MakeDisplayName(StripFromPrefix(name), "Virtual Out");
}

std::string MakeVirtualInName(std::string_view name) {
  if (name.empty()) return {};
  return MakeDisplayName(StripToPrefix(name), "Virtual In");
}

void SetVirtualPortPrefixes(const std::string& outputSide, const std::string& inputSide) {
  TPrefixes& p = Prefixes();
  std::lock_guard<std::mutex> lock(p.mutex);
  p.outputSide = outputSide;
  p.inputSide = inputSide;
}

std::string GetVirtualOutputPrefix() {
  TPrefixes& p = Prefixes();
  std::lock_guard<std::mutex> lock(p.mutex);
  return p.outputSide;
}

std::string GetVirtualInputPrefix() {
  TPrefixes& p = Prefixes();
  std::lock_guard<std::mutex> lock(p.mutex);
  return p.inputSide;
}

// --- records --------------------------------------------------------------------------------

void TVmplInfoDeleter::operator()(VMPL_PortInfo* info) const {
  if (info) VmplApi().DestroyInfo(info);
}

TVmplInfoPtr GetVmplPortInfo(uint32_t index, uint32_t& code) {
  VMPL_PortInfo* info = nullptr;
  code = VmplApi().GetPortInfo(index, &info);
  if (code != VMPL_OK) return nullptr;
  return TVmplInfoPtr(info);
}

std::u16string VmplText(const VMPL_Char* text) {
  return text ? std::u16string(text) : std::u16string();
}

void ListVirtualPorts(std::vector<TVmplInfoPtr>& list, std::u16string_view filter) {
  list.clear();
  const std::u16string wanted(filter);
  const int32_t count = static_cast<int32_t>(VmplApi().GetPortCount());
  for (int32_t i = 0; i < count; ++i) {
    uint32_t code = VMPL_OK;
    TVmplInfoPtr info = GetVmplPortInfo(static_cast<uint32_t>(i), code);
    if (info && ContainsFilter(*info, wanted)) list.push_back(std::move(info));
  }
  std::stable_sort(list.begin(), list.end(), [](const TVmplInfoPtr& a, const TVmplInfoPtr& b) {
    return VmplText(a->deviceName) < VmplText(b->deviceName);
  });
}

int GetVirtualPortCount(std::u16string filter) {
  CleanPortNameW(filter);
  std::vector<TVmplInfoPtr> list;
  ListVirtualPorts(list, filter);
  int total = 0;
  for (const TVmplInfoPtr& info : list) {
    if (info->type == VMPL_PORT_OUTPUT || info->type == VMPL_PORT_INPUT) total += 1;
    if (info->type == VMPL_PORT_BOTH) total += 2;
  }
  return total > 1 ? total / 2 : total;
}

bool IsVirtualMidiBusAvailable() {
  return VmplApi().IsBusInstalled() == 1;
}

// --- the side of a port --------------------------------------------------------------------

bool TVirtualPortSide::MatchesPort(const VMPL_PortInfo* info) const {
  return MatchesType(info, sideType_, filter_);
}

std::string TVirtualPortSide::GetPortName(int index) const {
  return ReadPortName(index, sideType_, filter_, nullptr);
}

void TVirtualPortSide::SetPortFilter(std::u16string filter) {
  CleanPortNameW(filter);
  filter_ = std::move(filter);
}

std::string TVirtualPortSide::ReadDeviceName(int32_t id) {
  return ReadPortName(id, sideType_, filter_, &portDeviceName_);
}

TVmplInfoPtr TVirtualPortSide::FindPortOrRaise(int32_t id, int32_t& foundId) const {
  uint32_t code = VMPL_OK;
  TVmplInfoPtr info = FindPortRecord(id, portDeviceName_, foundId, code);
  if (!info) RaiseVmplError(code);
  return info;
}

template <typename Base, typename Self>
int TVirtualPort<Base, Self>::GetDeviceCount() {
  return static_cast<int32_t>(VmplApi().GetPortCount());
}

template <typename Base, typename Self>
std::unique_ptr<TMidiDeviceBase> TVirtualPort<Base, Self>::Clone() const {
  auto copy = std::make_unique<Self>();
  copy->Assign(*this);
  return copy;
}

template <typename Base, typename Self>
void TVirtualPort<Base, Self>::Assign(const TMidiDeviceBase& other) {
  Base::Assign(other);
  if (const auto* v = dynamic_cast<const Self*>(&other); v && v != this) {
    TVirtualPortSide::operator=(*v);
  }
}

template <typename Base, typename Self>
void TVirtualPort<Base, Self>::EnumDeviceNames(TVirtualPortNames& list,
                                               const std::u16string& filter) {
  list.clear();
  Self scratch;
  scratch.SetPortFilter(filter);
  const int32_t count = static_cast<int32_t>(VmplApi().GetPortCount());
  for (int32_t i = 0; i < count; ++i) {
    std::string name = scratch.GetPortName(i);
    if (!name.empty()) list.emplace_back(std::move(name), i);
  }
}

template <typename Base, typename Self>
void TVirtualPort<Base, Self>::EnumDevices(TMidiDeviceList& list, const std::u16string& filter) {
  list.clear();
  const int32_t count = static_cast<int32_t>(VmplApi().GetPortCount());
  std::unique_ptr<Self> port;
  for (int32_t i = 0; i < count; ++i) {
    if (!port) {
      port = std::make_unique<Self>();
      port->SetPortFilter(filter);
    }
    port->SetDeviceID(i);
    if (!port->GetName().empty()) list.push_back(std::move(port));
  }
}

template class TVirtualPort<TMidiOutputBase, TVMidiOutput>;
template class TVirtualPort<TMidiInputBase, TVMidiInput>;

// --- output ---------------------------------------------------------------------------------

TVMidiOutput::~TVMidiOutput() {
  Close();
}

void TVMidiOutput::GetDeviceInfo(int32_t id, std::string& path, std::string& name) {
  path.clear();
  name = MakeVirtualOutName(ReadDeviceName(id));
}

void TVMidiOutput::DoOpen() {
  int32_t foundId = GetDeviceID();
  TVmplInfoPtr info = FindPortOrRaise(GetDeviceID(), foundId);
  // A port that is not the program's is left alone without an error.
  if (!MatchesPort(info.get())) return;
  if (foundId != GetDeviceID()) SetDeviceID(foundId);
  const std::string context = "Error opening virtual MIDI OUT device \"" + GetDisplayName() + "\":";
  VMPL_Handle handle = 0;
  RaiseVmplError(VmplApi().Connect(info.get(), &handle), context);
  SetHandle(handle);
}

bool TVMidiOutput::DoClose(TMidiPortHandle handle) {
  return VmplApi().Disconnect(handle) == VMPL_OK;
}

bool TVMidiOutput::SendMsg(uint8_t status, uint8_t data1, uint8_t data2) {
  const uint32_t message =
      status + ((uint32_t{data1} * 256) & 0x7F00) + ((uint32_t{data2} * 65536) & 0x7F0000);
  return SendShort(message);
}

bool TVMidiOutput::SendShort(uint32_t message) {
  const TMidiPortHandle handle = GetHandle();
  return handle != 0 && VmplApi().SendShort(handle, message) == VMPL_OK;
}

bool TVMidiOutput::SendLong(const uint8_t* data, size_t length) {
  const TMidiPortHandle handle = GetHandle();
  if (handle == 0 || !data || length == 0 || length > UINT32_MAX) return false;
  return VmplApi().SendLong(handle, data, static_cast<uint32_t>(length)) == VMPL_OK;
}

size_t TVMidiOutput::SendLongChunked(const uint8_t* data, size_t length, const TMidiWaitMethod&) {
  return SendLong(data, length) ? length : 0;
}

// --- input ----------------------------------------------------------------------------------

TVMidiInput::~TVMidiInput() {
  Close();
}

void TVMidiInput::GetDeviceInfo(int32_t id, std::string& path, std::string& name) {
  path.clear();
  name = MakeVirtualInName(ReadDeviceName(id));
}

void TVMidiInput::MakeThread() {
  if (thread_ && !thread_->Terminated() && !thread_->Finished()) return;
  thread_.reset();  // an ended thread is joined before its successor is made
  thread_ = std::make_unique<TVMidiInputThread>(*this);
}

void TVMidiInput::DoOpen() {
  info_.reset();
  int32_t foundId = GetDeviceID();
  TVmplInfoPtr info = FindPortOrRaise(GetDeviceID(), foundId);
  if (!MatchesPort(info.get())) {
    throw EMidiError("Cannot open virtual MIDI port \"" + NarrowFromUtf16(VmplText(info->inName)) +
                     "\".");
  }
  if (foundId != GetDeviceID()) SetDeviceID(foundId);
  info_ = std::move(info);
  MakeThread();  // made here, started by Start
}

bool TVMidiInput::IsStarted() const {
  return thread_ && thread_->Started() && !thread_->Terminated() && !thread_->Finished();
}

void TVMidiInput::Start() {
  if (!IsOpen() || !thread_) {
    throw EMidiError("Cannot start virtual MIDI IN if port not opened.");
  }
  if (IsStarted()) return;
  MakeThread();
  const std::string context = "Error opening virtual MIDI IN device \"" + GetDisplayName() + "\":";
  VMPL_Handle handle = 0;
  RaiseVmplError(VmplApi().Connect(info_.get(), &handle), context);
  SetHandle(handle);
  thread_->Start();
}

void TVMidiInput::Stop() {
  StopWith(GetHandle());
}

void TVMidiInput::StopWith(TMidiPortHandle handle) {
  SetHandle(0);
  if (thread_) thread_->Terminate();
  // The disconnect wakes a receive blocked in the library; the thread then sees its end.
  if (handle != 0) VmplApi().Disconnect(handle);
  if (thread_ && thread_->Started() && thread_->WaitFinished(kStopWaitMs)) thread_->WaitFor();
}

bool TVMidiInput::DoClose(TMidiPortHandle handle) {
  StopWith(handle);
  // A thread still inside a hook is waited for: it uses this port until it returns.
  thread_.reset();
  info_.reset();
  return true;
}


// --- receiving ------------------------------------------------------------------------------

bool TVMidiInputThread::WaitFinished(uint32_t ms) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!Finished()) {
    if (std::chrono::steady_clock::now() >= until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

void TVMidiInputThread::TerminateRequested() {
  { std::lock_guard<std::mutex> lock(mutex_); }
  wake_.notify_all();
}

void TVMidiInputThread::Backoff(uint32_t ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return Terminated(); });
}

void TVMidiInputThread::Execute() {
  // Long enough that a library failing at once costs no noticeable processor time, short
  // enough that reception resumes promptly when the failure clears.
  constexpr uint32_t kMaxBackoffMs = 16;
  std::vector<uint8_t> buffer(kBufferSize);
  VMPL_Message message{};
  uint32_t backoffMs = 0;
  while (!Terminated()) {
    message.buffer = buffer.data();
    message.capacity = kBufferSize;
    const TMidiPortHandle handle = input_.GetHandle();
    if (handle == 0) break;
    const uint32_t r = VmplApi().Receive(handle, &message);
    if (Terminated()) break;
    if (r != VMPL_OK) {
      // A failing receive (a connection closing, a torn record) is retried, slower each
      // time, so that it never spins at full speed.
      backoffMs = backoffMs == 0 ? 1 : std::min(backoffMs * 2, kMaxBackoffMs);
      Backoff(backoffMs);
      continue;
    }
    backoffMs = 0;
    try {
      DispatchVmplMessage(input_, message);
    } catch (...) {
      // One message's failure must not end the port's reception.
    }
  }
}

void DispatchVmplMessage(TVMidiInput& input, const VMPL_Message& message) {
  bool handled = false;
  if (message.kind == VMPL_KIND_SHORT) {
    const uint32_t m = message.shortMsg;
    if (m == 0xFE && !input.passActiveSensing_) return;
    if (m == 0xF8 && !input.passTimingClock_) return;
    if (input.shortHook_) input.shortHook_(input, m, handled);
    if (!handled && input.OnShortMsg) input.OnShortMsg(input, m);
    return;
  }
  const size_t length = std::min(message.received, message.capacity);
  if (input.sysExHook_) input.sysExHook_(input, message.buffer, length, handled);
  if (!handled && input.OnSysEx) input.OnSysEx(input, message.buffer, length);
}

}  // namespace kv
