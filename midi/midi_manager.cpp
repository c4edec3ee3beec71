#include "midi/midi_manager.h"

#include <algorithm>
#include <chrono>
#include <set>
#include <thread>

#include "base/ini_file.h"
#include "base/text.h"
#include "midi/midi_input.h"
#include "midi/midi_output.h"
#include "midi/port_text.h"
#include "midi/router.h"

namespace kv {

// --- dummies --------------------------------------------------------------------------------

void TDummyMidiIn::GetDeviceInfo(int32_t, std::string& path, std::string& name) {
  path.clear();
  name.clear();
}
std::unique_ptr<TMidiDeviceBase> TDummyMidiIn::Clone() const {
  auto copy = std::make_unique<TDummyMidiIn>();
  copy->Assign(*this);
  return copy;
}
void TDummyMidiIn::DoOpen() {
  throw EMidiError("Cannot open dummy MIDI device.");
}

void TDummyMidiOut::GetDeviceInfo(int32_t, std::string& path, std::string& name) {
  path.clear();
  name.clear();
}
std::unique_ptr<TMidiDeviceBase> TDummyMidiOut::Clone() const {
  auto copy = std::make_unique<TDummyMidiOut>();
  copy->Assign(*this);
  return copy;
}
void TDummyMidiOut::DoOpen() {
  throw EMidiError("Cannot open dummy MIDI device.");
}

// --- enumeration ----------------------------------------------------------------------------

namespace {

class TSystemPorts final : public TMidiPortEnumerator {
 public:
  void EnumVirtualInputs(TMidiDeviceList& list, const std::u16string& filter) override {
    TVMidiInput::EnumDevices(list, filter);
  }
  void EnumVirtualOutputs(TMidiDeviceList& list, const std::u16string& filter) override {
    TVMidiOutput::EnumDevices(list, filter);
  }
  void EnumVirtualInputNames(TVirtualPortNames& list, const std::u16string& filter) override {
    TVMidiInput::EnumDeviceNames(list, filter);
  }
  void EnumVirtualOutputNames(TVirtualPortNames& list, const std::u16string& filter) override {
    TVMidiOutput::EnumDeviceNames(list, filter);
  }
  void EnumSystemInputs(TMidiDeviceList& list) override { TMidiInput::EnumDevices(list); }
  void EnumSystemOutputs(TMidiDeviceList& list, bool withMapper) override {
    TMidiOutput::EnumDevices(list, withMapper);
  }
};

// A system port that is one of the program's own virtual ports: its name, trimmed and
// without a leading run of blanks, "-" and digits, is one of the virtual names.
bool IsOwnVirtualPort(const std::string& displayName, const TVirtualPortNames& virtualNames) {
  std::string name = Trim(displayName);
  const size_t start = name.find_first_not_of(" -0123456789");
  name = start == std::string::npos ? std::string() : name.substr(start);
  for (const auto& [virtualName, index] : virtualNames) {
    if (name == virtualName) return true;
  }
  return false;
}

std::string InOut(bool isInput) {
  return isInput ? "IN" : "OUT";
}

}  // namespace

TMidiPortEnumerator& DefaultMidiPortEnumerator() {
  static TSystemPorts ports;
  return ports;
}

void NumberDuplicatePorts(TMidiDeviceList& list) {
  for (auto& d : list) d->SetInstanceNumber(0);
  for (size_t k = 1; k < list.size(); ++k) {
    TMidiDeviceBase& device = *list[k];
    int number = device.GetInstanceNumber();
    for (size_t j = 0; j < k; ++j) {
      TMidiDeviceBase& earlier = *list[j];
      if (!AnsiSameText(earlier.GetName(), device.GetName())) continue;
      if (earlier.GetInstanceNumber() == 0) earlier.SetInstanceNumber(1);
      ++number;
    }
    device.SetInstanceNumber(number > 0 ? number + 1 : 0);
  }
  // Two entries that are one device (same path) cannot be told apart by number: the number
  // becomes part of the name.
  for (size_t k = 0; k < list.size(); ++k) {
    for (size_t j = k + 1; j < list.size(); ++j) {
      TMidiDeviceBase& a = *list[k];
      TMidiDeviceBase& b = *list[j];
      if (!AnsiSameText(a.GetName(), b.GetName()) || a.GetDevicePath().empty() ||
          !SameMidiDevice(a, b)) {
        continue;
      }
      for (TMidiDeviceBase* d : {&a, &b}) {
        if (d->GetInstanceNumber() == 0) continue;
        d->SetName(IntToStr(d->GetInstanceNumber()) + " " + d->GetName());
        d->SetInstanceNumber(0);
      }
    }
  }
}

void CopyInstanceNumbers(const TMidiDeviceList& inputs, TMidiDeviceList& outputs) {
  for (auto& out : outputs) {
    if (out->GetDevicePath().size() <= 2) continue;
    for (auto& in : inputs) {
      if (SameText(in->GetDevicePath(), out->GetDevicePath())) {
        out->SetInstanceNumber(in->GetInstanceNumber());
        break;
      }
    }
  }
}

// --- slots ----------------------------------------------------------------------------------

TMMMidiDev::TMMMidiDev(int index, std::string portName, bool isVirtual)
    : index_(index), portName_(std::move(portName)), virtual_(isVirtual) {}

bool TMMMidiDev::IsOpen() const {
  const std::shared_ptr<TMidiDeviceBase> device = GetDevice();
  return device && device->IsOpen();
}

std::shared_ptr<TMidiDeviceBase> TMMMidiDev::GetDevice() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return device_;
}

void TMMMidiDev::PutDevice(std::shared_ptr<TMidiDeviceBase> device) {
  std::shared_ptr<TMidiDeviceBase> old;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    old = std::move(device_);
    device_ = std::move(device);
  }
  // `old` is freed here or by the last MIDI thread still using it.
}

std::shared_ptr<const TMidiAliasList> TMMMidiIn::GetRoutedOutputs() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return routedOutputs_;
}

void TMMMidiIn::SetRoutedOutputs(std::shared_ptr<const TMidiAliasList> outputs) {
  std::lock_guard<std::mutex> lock(mutex_);
  routedOutputs_ = std::move(outputs);
}

void TMMMidiIn::SetPassActiveSensing(bool pass) {
  passActiveSensing_ = pass;
  if (auto d = std::dynamic_pointer_cast<TMidiInputBase>(GetDevice()))
    d->SetPassActiveSensing(pass);
}

void TMMMidiIn::SetPassTimingClock(bool pass) {
  passTimingClock_ = pass;
  if (auto d = std::dynamic_pointer_cast<TMidiInputBase>(GetDevice())) d->SetPassTimingClock(pass);
}

void TMMMidiIn::LoadOptions(const std::string& options) {
  if (options.size() >= 1) SetPassActiveSensing(options[0] == 'T');
  if (options.size() >= 2) SetPassTimingClock(options[1] == 'T');
}

void TMMMidiIn::ReadOptionsFromDevice() {
  // A placeholder knows no options: the slot's own stay.
  auto d = std::dynamic_pointer_cast<TMidiInputBase>(GetDevice());
  if (!d || dynamic_cast<TDummyMidiIn*>(d.get())) return;
  passActiveSensing_ = d->GetPassActiveSensing();
  passTimingClock_ = d->GetPassTimingClock();
}

std::string TMMMidiIn::OptionsText() const {
  std::string text;
  text += passActiveSensing_ ? 'T' : 'F';
  text += passTimingClock_ ? 'T' : 'F';
  text += IsVirtual() ? 'T' : 'F';
  return text;
}

// --- the manager ----------------------------------------------------------------------------

struct TMidiManager::TScanLists {
  TMidiDeviceList inputs, outputs;
  TVirtualPortNames virtualInputNames, virtualOutputNames;  // from the virtual pass
  std::vector<std::shared_ptr<TMidiDeviceBase>> taken;      // kept by slots
};

namespace {

void AliasesChangedThunk(void* object, TMidiAliasManager&) {
  static_cast<TMidiManager*>(object)->AliasesChanged();
}
void RoutesChangedThunk(void* object, TMidiRouter&) {
  static_cast<TMidiManager*>(object)->RoutesChanged();
}

}  // namespace

TMidiManager::TMidiManager(TMidiPortEnumerator& ports) : ports_(ports) {}

TMidiManager::~TMidiManager() {
  if (initialised_) {
    MidiAliasManager().RemoveChangeListener({&AliasesChangedThunk, this});
    MidiRouter().RemoveChangeListener({&RoutesChangedThunk, this});
  }
  // Whoever listened may be gone already at program end.
  OnOpen = nullptr;
  OnClose = nullptr;
  OnLog = nullptr;
  OnError = nullptr;
  // A MIDI action must never send through a freed manager.
  if (GetMidiOutputSink() == this) SetMidiOutputSink(nullptr);
  CloseAll();
}

void TMidiManager::Init() {
  Rescan(true, false);
  if (initialised_) return;
  initialised_ = true;
  MidiAliasManager().AddChangeListener({&AliasesChangedThunk, this});
  MidiRouter().AddChangeListener({&RoutesChangedThunk, this});
}

void TMidiManager::Notify(std::function<void()> fn) {
  if (deferNotifications_) {
    deferred_.push_back(std::move(fn));
  } else {
    fn();
  }
}

void TMidiManager::Log(int index, bool isInput, const std::string& text) {
  if (OnLog) Notify([this, index, isInput, text] { OnLog(index, isInput, text); });
}

void TMidiManager::ReportError(int index, bool isInput, bool raise, const std::string& text) {
  if (raise) throw EMidiError("MIDI " + InOut(isInput) + ": " + text);
  if (OnError) Notify([this, index, text] { OnError(index, text); });
}

// --- scanning -------------------------------------------------------------------------------

void TMidiManager::Rescan(bool force, bool armTimer) {
  if (rescanning_) {
    // Asked for from inside a scan (a dialog it caused pumps messages): run it afterwards.
    rescanAgain_ = true;
    rescanAgainForced_ = rescanAgainForced_ || force;
    return;
  }
  rescanning_ = true;
  bool forced = force;
  do {
    rescanAgain_ = false;
    RescanOnce(forced || rescanAgainForced_, armTimer);
    rescanAgainForced_ = false;
    forced = false;
    armTimer = false;
  } while (rescanAgain_);
  rescanning_ = false;
}

void TMidiManager::RescanTimer() {
  Rescan(true, false);
}

void TMidiManager::RescanOnce(bool force, bool armTimer) {
  bool changed = false;
  std::vector<TScanLists> passes(2);
  {
    TLockGuard guard(lock_);
    deferNotifications_ = true;
    scanned_ = true;
    const std::u16string filter = Utf16FromNarrow(portNameFilter_);
    ports_.EnumVirtualInputs(passes[0].inputs, filter);
    ports_.EnumVirtualOutputs(passes[0].outputs, filter);
    ports_.EnumVirtualInputNames(passes[0].virtualInputNames, filter);
    ports_.EnumVirtualOutputNames(passes[0].virtualOutputNames, filter);
    ports_.EnumSystemInputs(passes[1].inputs);
    ports_.EnumSystemOutputs(passes[1].outputs, true);
    passes[1].virtualInputNames = passes[0].virtualInputNames;
    passes[1].virtualOutputNames = passes[0].virtualOutputNames;
    for (int pass = 0; pass < 2; ++pass) {
      NumberDuplicatePorts(passes[pass].inputs);
      NumberDuplicatePorts(passes[pass].outputs);
      CopyInstanceNumbers(passes[pass].inputs, passes[pass].outputs);
      ScanInputs(pass, passes[pass], force, changed);
      ScanOutputs(pass, passes[pass], force, changed);
    }
    FinishScan(changed);
    if (armTimer && armTimer_) armTimer_(kRescanDelayMs);
    if (changed) AliasesChanged();
    deferNotifications_ = false;
  }
  std::vector<std::function<void()>> deferred;
  deferred.swap(deferred_);
  for (auto& fn : deferred) fn();
  if (changed) listeners_.Call(*this);
  // The enumerated devices no slot took are freed with `passes`.
}

template <typename Slots>
void TMidiManager::MarkSeen(Slots& slots, bool isVirtual, bool seenIsPresent) {
  const int n = slots.count.load(std::memory_order_acquire);
  for (int i = 0; i < n; ++i) {
    auto& slot = *slots.items[i];
    if (slot.IsVirtual() != isVirtual) continue;
    slot.seen_ = seenIsPresent ? slot.IsPresent() : false;
  }
}

void TMidiManager::ScanInputs(int pass, TScanLists& lists, bool force, bool& changed) {
  ScanPorts(true, pass, lists, force, changed);
}

void TMidiManager::ScanOutputs(int pass, TScanLists& lists, bool force, bool& changed) {
  ScanPorts(false, pass, lists, force, changed);
}

// One direction of a scan: inputs and outputs differ only in their slots, their lists and
// which of the program's own virtual ports they leave out.
void TMidiManager::ScanPorts(bool isInput, int pass, TScanLists& lists, bool force, bool& changed) {
  const bool isVirtual = pass == 0;
  int& stored = isInput ? (isVirtual ? virtualInputCount_ : systemInputCount_)
                        : (isVirtual ? virtualOutputCount_ : systemOutputCount_);
  TMidiDeviceList& foundList = isInput ? lists.inputs : lists.outputs;
  const TVirtualPortNames& ownNames = isInput ? lists.virtualOutputNames : lists.virtualInputNames;
  auto markSeen = [&](bool seenIsPresent) {
    if (isInput)
      MarkSeen(inputs_, isVirtual, seenIsPresent);
    else
      MarkSeen(outputs_, isVirtual, seenIsPresent);
  };
  if (!force && static_cast<int>(foundList.size()) == stored) {
    markSeen(true);
    return;
  }
  stored = static_cast<int>(foundList.size());
  markSeen(false);
  for (auto& found : foundList) {
    const std::string name = found->GetDisplayName();
    if (!isVirtual && IsOwnVirtualPort(name, ownNames)) continue;
    const int index =
        isInput ? FindOrAddInput(name, isVirtual, true) : FindOrAddOutput(name, isVirtual, true);
    TMMMidiDev* slot = isInput ? static_cast<TMMMidiDev*>(inputs_.At(index))
                               : static_cast<TMMMidiDev*>(outputs_.At(index));
    if (!slot) continue;
    std::shared_ptr<TMidiDeviceBase> device = slot->GetDevice();
    if (!slot->IsPresent()) {
      slot->present_ = true;
      changed = true;
      if (device->GetDeviceID() == kNoMidiDevice && found->GetKindName() != device->GetKindName()) {
        std::shared_ptr<TMidiDeviceBase> taken(std::move(found));
        if (isInput)
          WireInput(*inputs_.At(index), taken);
        else
          WireOutput(*outputs_.At(index), taken);
        slot->seen_ = true;
        continue;
      }
    }
    if (found->GetDeviceID() != device->GetDeviceID()) {
      device->SetDeviceID(found->GetDeviceID());
      device->SetInstanceNumber(found->GetInstanceNumber());
      if (device->IsOpen() && device->GetInstanceNumber() > 0) {
        if (isInput)
          CloseInput(index, false);
        else
          CloseOutput(index, false);
        slot->openPending_ = true;
      }
    }
    slot->seen_ = true;
  }
}

void TMidiManager::FinishScan(bool& changed) {
  auto finish = [&](TMMMidiDev& slot, int index, bool isInput) {
    if (!slot.seen_ && slot.IsPresent()) {
      slot.present_ = false;
      changed = true;
    }
    std::shared_ptr<TMidiDeviceBase> device = slot.GetDevice();
    if (!slot.IsPresent()) {
      if (device->IsOpen()) {
        CloseSlot(&slot, index, isInput, false);
        slot.openPending_ = true;
      }
      device->SetDeviceID(kNoMidiDevice);
    } else if (slot.openPending_ && device->IsClosed()) {
      Open(&slot, index, isInput, false);
    }
  };
  for (int i = 0; i < inputs_.count.load(); ++i) finish(*inputs_.items[i], i, true);
  for (int i = 0; i < outputs_.count.load(); ++i) finish(*outputs_.items[i], i, false);
}

// --- slots by name --------------------------------------------------------------------------

template <typename Slots>
static int FindSlot(const Slots& slots, const std::string& name, bool isVirtual) {
  const int n = slots.count.load(std::memory_order_acquire);
  for (int i = 0; i < n; ++i) {
    const auto& slot = *slots.items[i];
    if (slot.IsVirtual() != isVirtual) continue;
    if (AnsiSameText(slot.GetName(), name)) return i;
    if (isVirtual && AnsiSameText(slot.GetDevice()->GetDisplayName(), name)) return i;
  }
  return -1;
}

int TMidiManager::FindOrAddInput(const std::string& name, bool isVirtual, bool add) {
  int index = FindSlot(inputs_, name, isVirtual);
  if (index >= 0 || !add || name.empty()) return index;
  index = inputs_.count.load();
  if (index >= kMaxSlots) return -1;
  inputs_.items[index] = std::make_unique<TMMMidiIn>(index, name, isVirtual);
  WireInput(*inputs_.items[index], std::make_shared<TDummyMidiIn>());
  inputs_.count.store(index + 1, std::memory_order_release);
  return index;
}

int TMidiManager::FindOrAddOutput(const std::string& name, bool isVirtual, bool add) {
  int index = FindSlot(outputs_, name, isVirtual);
  if (index >= 0 || !add || name.empty()) return index;
  index = outputs_.count.load();
  if (index >= kMaxSlots) return -1;
  outputs_.items[index] = std::make_unique<TMMMidiOut>(index, name, isVirtual);
  WireOutput(*outputs_.items[index], std::make_shared<TDummyMidiOut>());
  outputs_.count.store(index + 1, std::memory_order_release);
  return index;
}

void TMidiManager::WireInput(TMMMidiIn& slot, std::shared_ptr<TMidiDeviceBase> device) {
  if (!device) device = std::make_shared<TDummyMidiIn>();
  device->SetSlot(&slot, slot.GetIndex());
  device->SetFeedbackCheck(feedbackCheck_);
  if (auto* input = dynamic_cast<TMidiInputBase*>(device.get())) {
    input->SetShortMsgHook([this](TMidiInputBase& port, uint32_t message, bool& handled) {
      HandleShortMsg(port, message, handled);
    });
    input->SetSysExHook([this](TMidiInputBase& port, const uint8_t* data, size_t length,
                               bool& handled) { HandleLongMsg(port, data, length, handled); });
    // The slot's options survive the port's absence.
    input->SetPassActiveSensing(slot.passActiveSensing_);
    input->SetPassTimingClock(slot.passTimingClock_);
  }
  if (auto* v = dynamic_cast<TVMidiInput*>(device.get())) {
    v->SetPortFilter(Utf16FromNarrow(portNameFilter_));
  }
  slot.PutDevice(std::move(device));
}

void TMidiManager::WireOutput(TMMMidiOut& slot, std::shared_ptr<TMidiDeviceBase> device) {
  if (!device) device = std::make_shared<TDummyMidiOut>();
  device->SetSlot(&slot, slot.GetIndex());
  device->SetFeedbackCheck(feedbackCheck_);
  if (auto* v = dynamic_cast<TVMidiOutput*>(device.get())) {
    v->SetPortFilter(Utf16FromNarrow(portNameFilter_));
  }
  slot.PutDevice(std::move(device));
}

int TMidiManager::GetDeviceCount(bool isInput) {
  if (!scanned_) Rescan(false, false);
  return isInput ? inputs_.count.load() : outputs_.count.load();
}

TMMMidiDev* TMidiManager::GetDevice(int index, bool isInput) const {
  if (isInput) return inputs_.At(index);
  return outputs_.At(index);
}

TMMMidiIn* TMidiManager::GetInput(int index) const {
  return inputs_.At(index);
}

TMMMidiOut* TMidiManager::GetOutput(int index) const {
  return outputs_.At(index);
}

int TMidiManager::IndexOfDevice(const std::string& name, bool isInput) const {
  const int n = isInput ? inputs_.count.load() : outputs_.count.load();
  for (int i = 0; i < n; ++i) {
    if (AnsiSameText(GetDevice(i, isInput)->GetName(), name)) return i;
  }
  return -1;
}

int TMidiManager::FindOrAddDevice(const std::string& name, bool isInput, bool isVirtual, bool add) {
  return isInput ? FindOrAddInput(name, isVirtual, add) : FindOrAddOutput(name, isVirtual, add);
}

// --- opening and closing --------------------------------------------------------------------

void TMidiManager::OpenDevice(int index, bool isInput, bool raise) {
  isInput ? OpenInput(index, raise) : OpenOutput(index, raise);
}
void TMidiManager::CloseDevice(int index, bool isInput, bool raise) {
  isInput ? CloseInput(index, raise) : CloseOutput(index, raise);
}
void TMidiManager::OpenInput(int index, bool raise) {
  Open(inputs_.At(index), index, true, raise);
}
void TMidiManager::OpenOutput(int index, bool raise) {
  Open(outputs_.At(index), index, false, raise);
}
void TMidiManager::CloseInput(int index, bool raise) {
  CloseSlot(inputs_.At(index), index, true, raise);
}
void TMidiManager::CloseOutput(int index, bool raise) {
  CloseSlot(outputs_.At(index), index, false, raise);
}

void TMidiManager::Open(TMMMidiDev* slot, int index, bool isInput, bool raise) {
  if (!slot) {
    ReportError(-1, isInput, raise,
                std::string("Internal error: illegal MIDI ") + (isInput ? "In" : "Out") +
                    " device ID: " + IntToStr(index));
    return;
  }
  std::shared_ptr<TMidiDeviceBase> device = slot->GetDevice();
  if (IsSuspended() || device->GetDeviceID() == kNoMidiDevice) {
    slot->openPending_ = true;
    return;
  }
  slot->lastError_.clear();
  try {
    device->Open();
    if (device->IsClosed()) {
      ReportError(index, isInput, raise,
                  "Error: MIDI " + InOut(isInput) + " device \"" + slot->GetName() +
                      "\" could not be opened.");
      return;
    }
    if (auto* input = dynamic_cast<TMidiInputBase*>(device.get())) input->Start();
    slot->openPending_ = false;
    Log(index, isInput, "Opened MIDI " + InOut(isInput) + ": " + slot->GetName());
    if (OnOpen) Notify([this, index, isInput] { OnOpen(index, isInput); });
  } catch (const std::exception& e) {
    slot->lastError_ = e.what();
    device->Close();
    if (raise) throw;
    ReportError(index, isInput, false, e.what());
  }
}

void TMidiManager::CloseSlot(TMMMidiDev* slot, int index, bool isInput, bool raise) {
  if (!slot) {
    ReportError(-1, isInput, raise,
                std::string("Internal error: illegal MIDI ") + (isInput ? "In" : "Out") +
                    " device ID: " + IntToStr(index));
    return;
  }
  try {
    std::shared_ptr<TMidiDeviceBase> device = slot->GetDevice();
    if (device->IsOpen()) {
      Log(index, isInput, "Closing MIDI " + InOut(isInput) + ": " + slot->GetName() + " ...");
      if (OnClose) Notify([this, index, isInput] { OnClose(index, isInput); });
      if (auto* input = dynamic_cast<TMidiInputBase*>(device.get())) input->Stop();
      device->Close();
      Log(index, isInput, "Closed MIDI " + InOut(isInput) + ": " + slot->GetName());
    }
    slot->openPending_ = false;
  } catch (const std::exception& e) {
    if (raise) throw;
    ReportError(index, isInput, false, e.what());
  }
}

void TMidiManager::CloseAll() {
  for (int i = 0; i < inputs_.count.load(); ++i) CloseInput(i, false);
  for (int i = 0; i < outputs_.count.load(); ++i) CloseOutput(i, false);
}

// --- sending --------------------------------------------------------------------------------

bool TMidiManager::SendShortToSlot(TMMMidiOut* slot, uint32_t message) {
  if (!slot || !slot->IsPresent()) return false;
  const std::shared_ptr<TMidiDeviceBase> device = slot->GetDevice();
  auto* out = dynamic_cast<TMidiOutputBase*>(device.get());
  return out && out->IsOpen() && out->SendShort(message);
}

bool TMidiManager::SendLongToSlot(TMMMidiOut* slot, const uint8_t* data, size_t length) {
  if (!slot || !slot->IsPresent()) return false;
  const std::shared_ptr<TMidiDeviceBase> device = slot->GetDevice();
  auto* out = dynamic_cast<TMidiOutputBase*>(device.get());
  // One whole message: this may run on a MIDI input thread, which must never wait.
  return out && out->IsOpen() && out->SendLong(data, length);
}

bool TMidiManager::SendShortToAll(uint32_t message) {
  if (IsSuspended()) return false;
  bool sent = false;
  const int n = outputs_.count.load(std::memory_order_acquire);
  for (int i = 0; i < n; ++i) sent = SendShortToSlot(outputs_.At(i), message) || sent;
  return sent;
}

bool TMidiManager::SendLongToAll(const uint8_t* data, size_t length) {
  if (IsSuspended()) return false;
  bool sent = false;
  const int n = outputs_.count.load(std::memory_order_acquire);
  for (int i = 0; i < n; ++i) sent = SendLongToSlot(outputs_.At(i), data, length) || sent;
  return sent;
}

namespace {

// The output slots the aliases name, each once: two aliases of one port must not send twice.
std::vector<int> OutputSlotsOf(const TMidiAliasList& aliases) {
  std::vector<int> slots;
  for (const TMidiAlias* alias : aliases.Items()) {
    if (!alias || alias->GetKind() != makMidiOut) continue;
    const int index = alias->GetDeviceIndex();
    if (index >= 0 && std::find(slots.begin(), slots.end(), index) == slots.end()) {
      slots.push_back(index);
    }
  }
  return slots;
}

}  // namespace

bool TMidiManager::SendShortToAliases(const TMidiAliasList& aliases, uint32_t message) {
  if (IsSuspended()) return false;
  bool sent = false;
  for (int index : OutputSlotsOf(aliases)) {
    sent = SendShortToSlot(outputs_.At(index), message) || sent;
  }
  return sent;
}

bool TMidiManager::SendLongToAliases(const TMidiAliasList& aliases, const uint8_t* data,
                                     size_t length) {
  if (IsSuspended()) return false;
  bool sent = false;
  for (int index : OutputSlotsOf(aliases)) {
    sent = SendLongToSlot(outputs_.At(index), data, length) || sent;
  }
  return sent;
}

// --- incoming MIDI --------------------------------------------------------------------------

void TMidiManager::SetShortMsgHandler(TMidiShortMsgEvent handler) {
  std::lock_guard<std::mutex> lock(handlersMutex_);
  auto next = std::make_shared<THandlers>(handlers_ ? *handlers_ : THandlers{});
  next->shortMsg = std::move(handler);
  handlers_ = std::move(next);
}

void TMidiManager::SetLongMsgHandler(TMidiLongMsgEvent handler) {
  std::lock_guard<std::mutex> lock(handlersMutex_);
  auto next = std::make_shared<THandlers>(handlers_ ? *handlers_ : THandlers{});
  next->longMsg = std::move(handler);
  handlers_ = std::move(next);
}

std::shared_ptr<const TMidiManager::THandlers> TMidiManager::Handlers() const {
  std::lock_guard<std::mutex> lock(handlersMutex_);
  return handlers_;
}

void TMidiManager::BindEngine(TTransEngine* engine) {
  auto next = std::make_shared<THandlers>();
  if (engine) {
    next->engine = engine;
    next->shortMsg = [engine](int32_t slot, uint32_t message, bool& swallowed, bool& handled) {
      engine->HandleShortMessage(slot, message, swallowed, handled);
    };
    next->longMsg = [engine](int32_t slot, const uint8_t* data, int32_t length, bool& swallowed,
                             bool& handled) {
      engine->HandleLongMessage(slot, data, length, swallowed, handled);
    };
    OnThru = [engine](TMidiManager&) { engine->OnMidiThroughActivity(); };
  } else {
    OnThru = nullptr;
  }
  {
    std::lock_guard<std::mutex> lock(handlersMutex_);
    handlers_ = std::move(next);
  }
  if (!engine) {
    // The engine is going away: wait for calls into it that started before.
    while (engineCalls_.load(std::memory_order_acquire) > 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
}

namespace {

class TCallCount {
 public:
  explicit TCallCount(std::atomic<int>& count) : count_(count) { ++count_; }
  ~TCallCount() { --count_; }
  TCallCount(const TCallCount&) = delete;
  TCallCount& operator=(const TCallCount&) = delete;

 private:
  std::atomic<int>& count_;
};

}  // namespace

void TMidiManager::HandleShortMsg(TMidiInputBase& device, uint32_t message, bool& handled) {
  const int slotIndex = device.GetSlotIndex();
  TCallCount running(engineCalls_);
  if (!IsSuspended()) {
    const std::shared_ptr<const THandlers> handlers = Handlers();
    if (handlers && handlers->shortMsg) {
      bool swallowed = false;
      handlers->shortMsg(slotIndex, message, swallowed, handled);
      if (handled && !swallowed) {
        TMMMidiIn* slot = inputs_.At(slotIndex);
        const auto outputs = slot ? slot->GetRoutedOutputs() : nullptr;
        if (outputs && SendShortToAliases(*outputs, message) && OnThru) OnThru(*this);
      }
    }
  }
  handled = true;
}

void TMidiManager::HandleLongMsg(TMidiInputBase& device, const uint8_t* data, size_t length,
                                 bool& handled) {
  const int slotIndex = device.GetSlotIndex();
  TCallCount running(engineCalls_);
  if (!IsSuspended()) {
    const std::shared_ptr<const THandlers> handlers = Handlers();
    if (handlers && handlers->longMsg) {
      bool swallowed = false;
      handlers->longMsg(slotIndex, data, static_cast<int32_t>(length), swallowed, handled);
      if (handled && !swallowed) {
        TMMMidiIn* slot = inputs_.At(slotIndex);
        const auto outputs = slot ? slot->GetRoutedOutputs() : nullptr;
        if (outputs && SendLongToAliases(*outputs, data, length) && OnThru) OnThru(*this);
      }
    }
  }
  handled = true;
}

// --- aliases and routes ---------------------------------------------------------------------

void TMidiManager::AliasesChanged() {
  TMidiAliasManager& aliases = MidiAliasManager();
  // Every alias's new slot is worked out first and then written once: MIDI threads send
  // through these indexes meanwhile and must never see an alias that stays bound pass
  // through "unbound" (its messages would be lost). Every alias gets one, deleted ones too:
  // a deleted alias must not keep matching its old port.
  std::vector<int32_t> next(static_cast<size_t>(aliases.GetCount()), -1);
  auto bind = [&](TMMMidiDev& slot, uint8_t kind) {
    slot.aliases_.Clear();
    aliases.GetAliasesOfDevice(slot.GetName(), kind, slot.aliases_);
    for (TMidiAlias* alias : slot.aliases_.Items()) {
      const int index = aliases.IndexOfAlias(alias);
      if (index >= 0) next[static_cast<size_t>(index)] = slot.GetIndex();
    }
  };
  for (int i = 0; i < inputs_.count.load(); ++i) bind(*inputs_.items[i], makMidiIn);
  for (int i = 0; i < outputs_.count.load(); ++i) bind(*outputs_.items[i], makMidiOut);
  for (int i = 0; i < aliases.GetCount(); ++i) {
    if (TMidiAlias* alias = aliases.GetItem(i)) alias->SetDeviceIndex(next[static_cast<size_t>(i)]);
  }
  RoutesChanged();
}

void TMidiManager::RoutesChanged() {
  const TMidiRoutes& routes = MidiRouter().GetRoutes();
  for (int i = 0; i < inputs_.count.load(); ++i) {
    auto outputs = std::make_shared<TMidiAliasList>();
    routes.GetOutputsOf(i, *outputs);
    inputs_.items[i]->SetRoutedOutputs(std::move(outputs));
  }
}

// --- settings and modes ---------------------------------------------------------------------

void TMidiManager::SetPortNameFilter(const std::string& text) {
  if (text == portNameFilter_) return;
  portNameFilter_ = text;
  const std::u16string filter = Utf16FromNarrow(text);
  auto refilter = [&](TMMMidiDev& slot) {
    if (!slot.IsVirtual()) return;
    const std::shared_ptr<TMidiDeviceBase> device = slot.GetDevice();
    if (auto* in = dynamic_cast<TVMidiInput*>(device.get())) in->SetPortFilter(filter);
    if (auto* out = dynamic_cast<TVMidiOutput*>(device.get())) out->SetPortFilter(filter);
    slot.present_ = false;
  };
  for (int i = 0; i < inputs_.count.load(); ++i) refilter(*inputs_.items[i]);
  for (int i = 0; i < outputs_.count.load(); ++i) refilter(*outputs_.items[i]);
  Rescan(true, false);
}

void TMidiManager::SetSuspended(bool suspended) {
  suspended_.store(suspended, std::memory_order_release);
  Rescan(false, false);
}

void TMidiManager::LoadFromIni(const TCustomIniFile& settings) {
  for (int n = 0;; ++n) {
    const std::string nameKey = "Name" + IntToStr(n);
    if (!settings.ValueExists(kMidiInSection, nameKey)) break;
    const std::string name = settings.ReadString(kMidiInSection, nameKey, "");
    const std::string options = settings.ReadString(kMidiInSection, "Options" + IntToStr(n), "");
    const bool isVirtual = options.size() >= 3 && options[2] == 'T';
    TMMMidiIn* slot = inputs_.At(FindOrAddInput(name, isVirtual, true));
    if (!slot) continue;
    slot->openPending_ = true;
    slot->LoadOptions(options);
  }
  for (int n = 0;; ++n) {
    const std::string nameKey = "Name" + IntToStr(n);
    if (!settings.ValueExists(kMidiOutSection, nameKey)) break;
    const std::string name = settings.ReadString(kMidiOutSection, nameKey, "");
    const std::string options = settings.ReadString(kMidiOutSection, "Options" + IntToStr(n), "");
    const bool isVirtual = !options.empty() && options[0] == 'T';
    TMMMidiOut* slot = outputs_.At(FindOrAddOutput(name, isVirtual, true));
    if (slot) slot->openPending_ = true;
  }
}

namespace {

void DeleteStaleKeys(TCustomIniFile& settings, const char* section, int from) {
  for (int n = from; settings.ValueExists(section, "Name" + IntToStr(n)); ++n) {
    settings.DeleteKey(section, "Name" + IntToStr(n));
    settings.DeleteKey(section, "Options" + IntToStr(n));
  }
}

}  // namespace

void TMidiManager::SaveToIni(TCustomIniFile& settings) const {
  int n = 0;
  for (int i = 0; i < inputs_.count.load(); ++i) {
    TMMMidiIn& slot = *inputs_.items[i];
    if (!slot.IsOpen() && !slot.IsOpenRequested()) continue;
    slot.ReadOptionsFromDevice();
    settings.WriteString(kMidiInSection, "Name" + IntToStr(n), slot.GetName());
    settings.WriteString(kMidiInSection, "Options" + IntToStr(n), slot.OptionsText());
    ++n;
  }
  DeleteStaleKeys(settings, kMidiInSection, n);
  n = 0;
  for (int i = 0; i < outputs_.count.load(); ++i) {
    TMMMidiOut& slot = *outputs_.items[i];
    if (!slot.IsOpen() && !slot.IsOpenRequested()) continue;
    settings.WriteString(kMidiOutSection, "Name" + IntToStr(n), slot.GetName());
    settings.WriteString(kMidiOutSection, "Options" + IntToStr(n), slot.IsVirtual() ? "T" : "F");
    ++n;
  }
  DeleteStaleKeys(settings, kMidiOutSection, n);
}

// --- the process-wide manager ---------------------------------------------------------------

namespace {

std::unique_ptr<TMidiManager>& Instance() {
  static std::unique_ptr<TMidiManager> manager;
  return manager;
}

}  // namespace

TMidiManager& MidiManager() {
  std::unique_ptr<TMidiManager>& manager = Instance();
  if (!manager) {
    manager = std::make_unique<TMidiManager>();
    manager->Init();
    SetMidiOutputSink(manager.get());
  }
  return *manager;
}

bool MidiManagerExists() {
  return static_cast<bool>(Instance());
}

void CloseAllMidiPorts() {
  if (MidiManagerExists()) MidiManager().CloseAll();
}

void SetVirtualPortNameFilter(const std::string& text) {
  MidiManager().SetPortNameFilter(text);
}

void FreeMidiManager() {
  Instance().reset();
}

}  // namespace kv
