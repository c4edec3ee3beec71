// The settings the manager keeps: which ports are to be open (sections MIDI.in and MIDI.out)
// with the inputs' pass options, the virtual-port name filter and the suspended mode.
#include "base/ini_file.h"
#include "base/numbered_key.h"
#include "base/text.h"
#include "midi/manager/midi_manager.h"
#include "midi/system/port_text.h"

namespace kv {

// --- an input slot's options ----------------------------------------------------------------

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

// --- modes ----------------------------------------------------------------------------------

void TMidiManager::SetPortNameFilter(const std::string& text) {
  if (text == portNameFilter_) return;
  portNameFilter_ = text;
  const std::u16string filter = Utf16FromNarrow(text);
  ForEachSlot([&](TMMMidiDev& slot) {
    if (!slot.IsVirtual()) return;
    const std::shared_ptr<TMidiDeviceBase> device = slot.GetDevice();
    if (auto* in = dynamic_cast<TVMidiInput*>(device.get())) in->SetPortFilter(filter);
    if (auto* out = dynamic_cast<TVMidiOutput*>(device.get())) out->SetPortFilter(filter);
    slot.present_ = false;
  });
  Rescan(true, false);
}

void TMidiManager::SetSuspended(bool suspended) {
  suspended_.store(suspended, std::memory_order_release);
  Rescan(false, false);
}

// --- the settings sections ------------------------------------------------------------------

namespace {

const char* SectionOf(bool isInput) {
  return isInput ? kMidiInSection : kMidiOutSection;
}

std::string NameKey(int n) {
  return NumberedKey("Name", n);
}

std::string OptionsKey(int n) {
  return NumberedKey("Options", n);
}

// An input's options end with the virtual letter as the third, an output's have it alone.
bool IsVirtualOption(bool isInput, const std::string& options) {
  const size_t at = isInput ? 2 : 0;
  return options.size() > at && options[at] == 'T';
}

}  // namespace

void TMidiManager::LoadFromIni(const TCustomIniFile& settings) {
  for (const bool isInput : {true, false}) {
    const char* section = SectionOf(isInput);
    for (int n = 0; settings.ValueExists(section, NameKey(n)); ++n) {
      const std::string name = settings.ReadString(section, NameKey(n), "");
      const std::string options = settings.ReadString(section, OptionsKey(n), "");
      TMMMidiDev* slot =
          SlotAt(FindOrAddDevice(name, isInput, IsVirtualOption(isInput, options), true), isInput);
      if (!slot) continue;
      slot->openPending_ = true;
      if (auto* input = dynamic_cast<TMMMidiIn*>(slot)) input->LoadOptions(options);
    }
  }
}

void TMidiManager::SaveToIni(TCustomIniFile& settings) const {
  for (const bool isInput : {true, false}) {
    const char* section = SectionOf(isInput);
    int n = 0;
    for (int i = 0; i < SlotCount(isInput); ++i) {
      TMMMidiDev& slot = *SlotAt(i, isInput);
      if (!slot.IsOpen() && !slot.IsOpenRequested()) continue;
      std::string options = slot.IsVirtual() ? "T" : "F";
      if (auto* input = dynamic_cast<TMMMidiIn*>(&slot)) {
        input->ReadOptionsFromDevice();
        options = input->OptionsText();
      }
      settings.WriteString(section, NameKey(n), slot.GetName());
      settings.WriteString(section, OptionsKey(n), options);
      ++n;
    }
    DeleteNumberedKeysFrom(settings, section, n, {"Name", "Options"});
  }
}

}  // namespace kv
