#pragma once
// The two small alias dialogs without their windows: the chooser that asks which kind of
// alias to add, and the definition dialog that binds an unbound alias (and its namesake of
// the other direction) to this machine's ports. The window shows the model modally through
// the show function it is given. Main thread only.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "midi/model/alias.h"

namespace kv {

class TMidiManager;

inline constexpr const char* kNoDevice = "(none)";

struct TAliasKindItem {
  const char* caption;
  uint8_t kind;
};
inline constexpr std::array<TAliasKindItem, 2> kAliasKindItems = {{
    {"&1 - MIDI IN port", makMidiIn},
    {"&2 - MIDI OUT port", makMidiOut},
}};

class TAliasChooser {
 public:
  // With preselect the item of that kind is selected (none when the kind is not offered).
  TAliasChooser(uint8_t kind, bool preselect);
  void Select(int item);
  int Selected() const { return selected_; }
  bool OkEnabled() const { return selected_ >= 0; }
  // A double click on an item chooses it at once; true when the dialog closes with OK.
  bool DoubleClick(int item);

 private:
  int selected_ = -1;
};

// Shows the chooser modally; true when it closed with OK.
using TShowAliasChooser = std::function<bool(TAliasChooser& chooser)>;
// True when closed with OK and an item chosen; kind becomes that item's kind.
bool ChooseAliasKind(const TShowAliasChooser& show, uint8_t& kind, bool preselect);

// "(none)", then the name of every slot of that direction, in slot order.
std::vector<std::string> DeviceNameList(TMidiManager& manager, bool isInput);

struct TDeviceCombo {
  std::string label;
  std::vector<std::string> entries;
  int selected = -1;
  int initial = -1;  // the alias's device among the entries when filled
  bool visible = false;
  // The entry chosen, or empty for "(none)" or no choice.
  std::string Chosen() const;
};

class TDefineMidiAlias {
 public:
  // Follows the MIDI manager's slot lists until destroyed.
  TDefineMidiAlias(TMidiAliasManager& aliases, TMidiManager& manager);
  ~TDefineMidiAlias();
  TDefineMidiAlias(const TDefineMidiAlias&) = delete;
  TDefineMidiAlias& operator=(const TDefineMidiAlias&) = delete;

  // Finds the aliases of that name; false when there is nothing the user may bind.
  bool Init(const std::string& aliasName);
  void RefreshDevices();
  void Choose(int combo, int entry);
  // OK: binds each alias whose list has a device chosen.
  void Accept();

  const std::string& AliasName() const { return aliasName_; }
  const TDeviceCombo& Combo(int combo) const { return combos_[static_cast<size_t>(combo)]; }
  bool OkEnabled() const { return okEnabled_; }
  // Only one list: the dialog shrinks to fit it.
  bool Compact() const { return !second_; }

 private:
  static void DevicesChanged(void* dialog, TMidiManager& sender);
  void UpdateDialog();
  void FillCombo(TDeviceCombo& combo, const TMidiAlias& alias);
  void UpdateOK();

  TMidiAliasManager& aliases_;
  TMidiManager& manager_;
  TMidiAlias* first_ = nullptr;
  TMidiAlias* second_ = nullptr;
  std::array<std::vector<std::string>, 4> deviceLists_;
  std::array<TDeviceCombo, 2> combos_;
  std::string aliasName_;
  bool okEnabled_ = false;
};

using TShowDefineMidiAlias = std::function<bool(TDefineMidiAlias& dialog)>;
// True when the dialog closed with OK; false without showing it for an unknown name or an
// automatic alias.
bool ShowDefineMidiAlias(TMidiAliasManager& aliases, TMidiManager& manager,
                         const std::string& aliasName, const TShowDefineMidiAlias& show);

}  // namespace kv
