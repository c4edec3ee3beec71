// The manager's slots: placeholders for absent ports, finding and adding slots, wiring a
// device into its slot, opening and closing, binding aliases and routes to slots, and the
// process-wide manager.
#include "midi/manager/midi_manager.h"

#include "base/main_thread.h"
#include "base/text.h"
#include "midi/system/port_text.h"
#include "midi/model/router.h"

namespace kv {

// --- placeholders ---------------------------------------------------------------------------

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

// --- the manager ----------------------------------------------------------------------------

namespace {

void AliasesChangedThunk(void* object, TMidiAliasManager&) {
  static_cast<TMidiManager*>(object)->AliasesChanged();
}
void RoutesChangedThunk(void* object, TMidiRouter&) {
  static_cast<TMidiManager*>(object)->RoutesChanged();
}

std::string InOut(bool isInput) {
  return isInput ? "IN" : "OUT";
}

std::string IllegalSlotText(int index, bool isInput) {
  return std::string("Internal error: illegal MIDI ") + (isInput ? "In" : "Out") +
         " device ID: " + IntToStr(index);
}

}  // namespace

TMidiManager::TMidiManager(TMidiPortEnumerator& ports) : ports_(ports) {}

TMidiManager::~TMidiManager() {
  // Stopping the countdown may serve main-thread calls: the queued ones must find the
  // manager gone already.
  alive_->store(false);
  rescanTimer_.reset();
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

// --- slots by index and name ----------------------------------------------------------------

int TMidiManager::SlotCount(bool isInput) const {
  return isInput ? inputs_.count.load() : outputs_.count.load();
}

int TMidiManager::GetDeviceCount(bool isInput) {
  if (!scanned_) Rescan(false, false);
  return SlotCount(isInput);
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
  const int n = SlotCount(isInput);
  for (int i = 0; i < n; ++i) {
    if (AnsiSameText(SlotAt(i, isInput)->GetName(), name)) return i;
  }
  return -1;
}

template <typename Slot>
int TMidiManager::FindOrAdd(TSlots<Slot>& slots, const std::string& name, bool isVirtual,
                            bool add) {
  const int n = slots.count.load(std::memory_order_acquire);
  for (int i = 0; i < n; ++i) {
    const Slot& slot = *slots.items[i];
    if (slot.IsVirtual() != isVirtual) continue;
    if (AnsiSameText(slot.GetName(), name)) return i;
    if (isVirtual && AnsiSameText(slot.GetDevice()->GetDisplayName(), name)) return i;
  }
  if (!add || name.empty() || n >= kMaxSlots) return -1;
  slots.items[n] = std::make_unique<Slot>(n, name, isVirtual);
  Wire(*slots.items[n], nullptr);
  slots.count.store(n + 1, std::memory_order_release);
  return n;
}

int TMidiManager::FindOrAddInput(const std::string& name, bool isVirtual, bool add) {
  return FindOrAdd(inputs_, name, isVirtual, add);
}

int TMidiManager::FindOrAddOutput(const std::string& name, bool isVirtual, bool add) {
  return FindOrAdd(outputs_, name, isVirtual, add);
}

int TMidiManager::FindOrAddDevice(const std::string& name, bool isInput, bool isVirtual, bool add) {
  return isInput ? FindOrAddInput(name, isVirtual, add) : FindOrAddOutput(name, isVirtual, add);
}

void TMidiManager::Wire(TMMMidiDev& slot, std::shared_ptr<TMidiDeviceBase> device) {
  if (!device) {
    if (slot.IsInput())
      device = std::make_shared<TDummyMidiIn>();
    else
      device = std::make_shared<TDummyMidiOut>();
  }
  device->SetSlot(&slot, slot.GetIndex());
  device->SetFeedbackCheck(feedbackCheck_);
  device->OnError = [this](TMidiDeviceBase&, int) { DeviceError(); };
  if (auto* input = dynamic_cast<TMidiInputBase*>(device.get())) {
    input->SetShortMsgHook([this](TMidiInputBase& port, uint32_t message, bool& handled) {
      HandleShortMsg(port, message, handled);
    });
    input->SetSysExHook([this](TMidiInputBase& port, const uint8_t* data, size_t length,
                               bool& handled) { HandleLongMsg(port, data, length, handled); });
    // The slot's options survive the port's absence.
    auto& inputSlot = static_cast<TMMMidiIn&>(slot);
    input->SetPassActiveSensing(inputSlot.passActiveSensing_);
    input->SetPassTimingClock(inputSlot.passTimingClock_);
  }
  const std::u16string filter = Utf16FromNarrow(portNameFilter_);
  if (auto* v = dynamic_cast<TVMidiInput*>(device.get())) v->SetPortFilter(filter);
  if (auto* v = dynamic_cast<TVMidiOutput*>(device.get())) v->SetPortFilter(filter);
  slot.PutDevice(std::move(device));
}

// --- opening and closing --------------------------------------------------------------------

void TMidiManager::OpenDevice(int index, bool isInput, bool raise) {
  Open(SlotAt(index, isInput), index, isInput, raise);
}
void TMidiManager::CloseDevice(int index, bool isInput, bool raise) {
  CloseSlot(SlotAt(index, isInput), index, isInput, raise);
}
void TMidiManager::OpenInput(int index, bool raise) {
  OpenDevice(index, true, raise);
}
void TMidiManager::OpenOutput(int index, bool raise) {
  OpenDevice(index, false, raise);
}

void TMidiManager::Open(TMMMidiDev* slot, int index, bool isInput, bool raise) {
  if (!slot) {
    ReportError(-1, isInput, raise, IllegalSlotText(index, isInput));
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
    ReportError(-1, isInput, raise, IllegalSlotText(index, isInput));
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

bool TMidiManager::CloseIfLost(TMMMidiDev& slot) {
  const std::shared_ptr<TMidiDeviceBase> device = slot.GetDevice();
  if (device->IsClosed()) return false;
  device->CloseIfLost();
  if (device->IsOpen()) return false;
  // Told as any close is (a scan delivers these after the fact anyway).
  const int index = slot.GetIndex();
  const bool isInput = slot.IsInput();
  Log(index, isInput, "Closing MIDI " + InOut(isInput) + ": " + slot.GetName() + " ...");
  if (OnClose) Notify([this, index, isInput] { OnClose(index, isInput); });
  Log(index, isInput, "Closed MIDI " + InOut(isInput) + ": " + slot.GetName());
  slot.openPending_ = true;
  return true;
}

void TMidiManager::DeviceError() {
  if (errorScanQueued_.exchange(true)) return;
  TMainThreadCalls::Instance().Queue([this, alive = alive_] {
    if (!*alive) return;
    errorScanQueued_ = false;
    // Forced: the device ids may have shifted under the ports.
    Rescan(true, false);
  });
}

void TMidiManager::CloseAll() {
  for (const bool isInput : {true, false}) {
    for (int i = 0; i < SlotCount(isInput); ++i) CloseDevice(i, isInput, false);
  }
}

// --- aliases and routes ---------------------------------------------------------------------

void TMidiManager::AliasesChanged() {
  TMidiAliasManager& aliases = MidiAliasManager();
  // Every alias's new slot is worked out first and then written once: MIDI threads send
  // through these indexes meanwhile and must never see an alias that stays bound pass
  // through "unbound" (its messages would be lost). Every alias gets one, deleted ones too:
  // a deleted alias must not keep matching its old port.
  std::vector<int32_t> next(static_cast<size_t>(aliases.GetCount()), -1);
  ForEachSlot([&](TMMMidiDev& slot) {
    slot.aliases_.Clear();
    aliases.GetAliasesOfDevice(slot.GetName(), slot.IsInput() ? makMidiIn : makMidiOut,
                               slot.aliases_);
    for (TMidiAlias* alias : slot.aliases_.Items()) {
      const int index = aliases.IndexOfAlias(alias);
      if (index >= 0) next[static_cast<size_t>(index)] = slot.GetIndex();
    }
  });
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
