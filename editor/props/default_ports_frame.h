#pragma once
// The "Default MIDI Ports" page of the project and preset properties: which MIDI IN and
// MIDI OUT aliases are the default ports, in project mode (two lists) or preset mode (each
// side may fall back to the project's default ports), and the share of the width the input
// side takes. Follows the alias manager for its whole life. Main thread only.
#include <functional>
#include <string>
#include <vector>

#include "editor/props/property_panel.h"
#include "midi/model/alias.h"

namespace kv {

struct TPortRow {
  TMidiAlias* alias = nullptr;
  bool checked = false;
};

// One side of the page: the checked aliases, the rows shown and the radio choice.
struct TPortSide {
  TMidiAliasList ports;
  std::vector<TPortRow> rows;
  bool projectDefault = false;  // "Project Default Ports" chosen (preset mode only)
  bool enabled = true;
};

class TSetupDefaultPortsFrame final : public TPropertyPanel {
 public:
  static constexpr int kDefaultRatio = 500;
  static constexpr int kMinRatio = 100;
  static constexpr int kMaxRatio = 900;

  // Writes the applied lists; a preset side on the project's default ports comes empty.
  using TApplyEvent = std::function<void(const TMidiAliasList& in, const TMidiAliasList& out,
                                         bool showErrors)>;

  explicit TSetupDefaultPortsFrame(TMidiAliasManager& aliases);
  ~TSetupDefaultPortsFrame() override;
  TSetupDefaultPortsFrame(const TSetupDefaultPortsFrame&) = delete;
  TSetupDefaultPortsFrame& operator=(const TSetupDefaultPortsFrame&) = delete;

  // Copies the lists (none empties a side), takes the mode and loads.
  void SetPorts(const TMidiAliasList* in, const TMidiAliasList* out, bool presetMode);

  void LoadValues() override;
  void Revert() override;
  void Apply(bool showErrors) override;

  // A row's check box changed.
  void CheckRow(bool input, int row, bool checked);
  // A radio button was clicked: projectDefault for "Project Default Ports".
  void ChooseSide(bool input, bool projectDefault);
  void AliasesClick();
  // Rebuilds both lists from the alias manager; also its change listener.
  void RefreshLists();

  int SplitterRatio() const { return ratio_; }
  void SetSplitterRatio(int value);
  // The splitter was dragged to leave the input side leftWidth pixels.
  void SplitterMoved(int leftWidth);
  void Resize(int clientWidth);
  int LeftWidth() const { return leftWidth_; }

  const TPortSide& InSide() const { return in_; }
  const TPortSide& OutSide() const { return out_; }
  bool ChangeReported() const { return changeReported_; }
  bool AliasesVisible() const { return aliasesVisible_; }
  bool RadioButtonsVisible() const { return presetMode_; }
  const std::string& HelpText() const { return helpText_; }

  TApplyEvent OnApply;
  std::function<bool()> IsSettingsVisible;
  std::function<void()> ShowPortAliasSettings;

 private:
  static void AliasesChanged(void* frame, TMidiAliasManager& sender);
  void ReportChange();
  void UpdateListsEnabled();
  void RefreshSide(TPortSide& side, uint8_t kind);
  void ApplyRatio();
  bool SettingsVisible() const { return IsSettingsVisible && IsSettingsVisible(); }

  TMidiAliasManager& aliases_;
  TPortSide in_;
  TPortSide out_;
  int ratio_ = kDefaultRatio;
  int clientWidth_ = 0;
  int leftWidth_ = 0;
  bool presetMode_ = false;
  int loading_ = 0;
  bool changeReported_ = false;
  bool aliasesVisible_ = true;
  std::string helpText_;
};

// Rounds numerator / denominator to the nearest integer, halves to the even neighbour; the
// denominator must be positive.
int RoundHalfEven(int64_t numerator, int64_t denominator);

}  // namespace kv
