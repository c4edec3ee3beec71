// Scanning: which ports are there, which slot each belongs to, and which slots open or close
// because their device came or went.
#include "midi/manager/midi_manager.h"

#include <exception>

#include "base/main_thread.h"
#include "midi/system/port_text.h"

namespace kv {

struct TMidiManager::TScanLists {
  TMidiDeviceList inputs, outputs;
  TVirtualPortNames virtualInputNames, virtualOutputNames;  // from the virtual pass
};

void TMidiManager::Rescan(bool force, bool armTimer) {
  if (rescanning_) {
    // Asked for from inside a scan (a dialog it caused pumps messages): run it afterwards.
    // A device change reported meanwhile still gets its forced scan later.
    rescanAgain_ = true;
    rescanAgainForced_ = rescanAgainForced_ || force;
    rescanAgainArmed_ = rescanAgainArmed_ || armTimer;
    return;
  }
  rescanning_ = true;
  // A handler that throws out of a scan (a listener, an error report) must not leave the
  // manager believing it is still scanning: no device change would ever be looked at again.
  struct TEndOfScan {
    TMidiManager& m;
    ~TEndOfScan() { m.rescanning_ = false; }
  } endOfScan{*this};
  bool forced = force;
  do {
    // Taken before the scan: one asked for during it sets them again for the next round.
    const bool forceNow = forced || rescanAgainForced_;
    const bool armNow = armTimer || rescanAgainArmed_;
    rescanAgain_ = rescanAgainForced_ = rescanAgainArmed_ = false;
    RescanOnce(forceNow, armNow);
    forced = false;
    armTimer = false;
  } while (rescanAgain_);
}

void TMidiManager::RescanTimer() {
  if (rescanTimer_) rescanTimer_->Cancel();
  Rescan(true, false);
}

void TMidiManager::ArmRescanTimer() {
  if (armTimer_) return armTimer_(rescanDelayMs_);
  if (!rescanTimer_) {
    rescanTimer_ = std::make_unique<TMidiRescanTimer>([this, alive = alive_] {
      TMainThreadCalls::Instance().Queue([this, alive] {
        if (*alive) RescanTimer();
      });
    });
  }
  rescanTimer_->Arm(rescanDelayMs_);
}

void TMidiManager::RescanOnce(bool force, bool armTimer) {
  bool changed = false;
  std::vector<TScanLists> passes(2);
  {
    TLockGuard guard(lock_);
    // Reports made during the scan wait for its end, also for a scan cut short by a throw.
    struct TDeferring {
      bool& flag;
      explicit TDeferring(bool& f) : flag(f) { flag = true; }
      ~TDeferring() { flag = false; }
    } deferring{deferNotifications_};
    scanned_ = true;
    // A device unplugged and plugged back between two scans leaves the count unchanged, but
    // the port's handle is dead (MIDI would be lost for good while it shows open) and the
    // device ids may have moved: such ports are closed, matched anew and reopened below.
    bool lost = false;
    ForEachSlot([&](TMMMidiDev& slot) { lost = CloseIfLost(slot) || lost; });
    force = force || lost;
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
      ScanPorts(true, pass, passes[pass], force, changed);
      ScanPorts(false, pass, passes[pass], force, changed);
    }
    FinishScan(changed);
    if (changed) AliasesChanged();
  }
  std::vector<std::function<void()>> deferred;
  deferred.swap(deferred_);
  // A report that throws keeps neither the later reports, the listeners nor the timer from
  // their turn; the first throw goes on to the caller afterwards.
  std::exception_ptr first;
  for (auto& fn : deferred) {
    try {
      fn();
    } catch (...) {
      if (!first) first = std::current_exception();
    }
  }
  if (changed) listeners_.Call(*this);
  if (armTimer) ArmRescanTimer();
  if (first) std::rethrow_exception(first);
  // The enumerated devices no slot took are freed with `passes`.
}

void TMidiManager::MarkSeen(bool isInput, bool isVirtual, bool seenIsPresent) {
  const int n = SlotCount(isInput);
  for (int i = 0; i < n; ++i) {
    TMMMidiDev& slot = *SlotAt(i, isInput);
    if (slot.IsVirtual() != isVirtual) continue;
    slot.seen_ = seenIsPresent ? slot.IsPresent() : false;
  }
}

// One direction of a scan: inputs and outputs differ only in their slots, their lists and
// which of the program's own virtual ports they leave out.
void TMidiManager::ScanPorts(bool isInput, int pass, TScanLists& lists, bool force, bool& changed) {
  const bool isVirtual = pass == 0;
  int& stored = isInput ? (isVirtual ? virtualInputCount_ : systemInputCount_)
                        : (isVirtual ? virtualOutputCount_ : systemOutputCount_);
  TMidiDeviceList& foundList = isInput ? lists.inputs : lists.outputs;
  const TVirtualPortNames& ownNames = isInput ? lists.virtualOutputNames : lists.virtualInputNames;
  if (!force && static_cast<int>(foundList.size()) == stored) {
    MarkSeen(isInput, isVirtual, true);
    return;
  }
  stored = static_cast<int>(foundList.size());
  MarkSeen(isInput, isVirtual, false);
  for (auto& found : foundList) {
    const std::string name = found->GetDisplayName();
    if (!isVirtual && IsOwnVirtualPort(name, ownNames)) continue;
    const int index = FindOrAddDevice(name, isInput, isVirtual, true);
    TMMMidiDev* slot = SlotAt(index, isInput);
    if (!slot) continue;
    std::shared_ptr<TMidiDeviceBase> device = slot->GetDevice();
    if (!slot->IsPresent()) {
      slot->present_ = true;
      changed = true;
      if (device->GetDeviceID() == kNoMidiDevice && found->GetKindName() != device->GetKindName()) {
        Wire(*slot, std::shared_ptr<TMidiDeviceBase>(std::move(found)));
        slot->seen_ = true;
        continue;
      }
    }
    if (found->GetDeviceID() != device->GetDeviceID()) {
      device->SetDeviceID(found->GetDeviceID());
      device->SetInstanceNumber(found->GetInstanceNumber());
      if (device->IsOpen() && device->GetInstanceNumber() > 0) {
        CloseSlot(slot, index, isInput, false);
        slot->openPending_ = true;
      }
    }
    slot->seen_ = true;
  }
}

void TMidiManager::FinishScan(bool& changed) {
  ForEachSlot([&](TMMMidiDev& slot) {
    const int index = slot.GetIndex();
    const bool isInput = slot.IsInput();
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
  });
}

}  // namespace kv
