#pragma once
// The MIDI trigger and MIDI action panels: the message text, an optional description and the
// port aliases the message is received on or sent to. The two are twins; only the incoming
// one has the swallow box, which the editor reads and writes (it is the translator's
// output-original flag, not part of the action text).
#include <string>
#include <vector>

#include "editor/panels/edit_panel.h"
#include "midi/model/alias.h"

namespace kv {

class TEPMidi : public TEditPanel {
 public:
  // One row of the port list: an alias of the panel's port kind, checked when it is in the
  // panel's list.
  struct TPortRow {
    TMidiAlias* alias;
    bool checked;
  };

  explicit TEPMidi(bool incoming);

  void Clear() override;
  void LoadAction(const TTransAction* action) override;
  std::string GetActionText() override;

  const std::string& MessageText() const { return message_; }
  void SetMessageText(std::string text);
  const std::string& Description() const { return description_; }
  void SetDescription(std::string text);
  bool DescriptionChecked() const { return describe_; }
  void SetDescriptionChecked(bool checked);
  // "Default port(s)" (true) or "On specific port(s)".
  bool DefaultPorts() const { return defaultPorts_; }
  void SetDefaultPorts(bool useDefault);
  const TMidiAliasList& Ports() const { return ports_; }

  // The reading of the typed message shown under it ("Note On #1: C4, vel 127").
  std::string ParsedReading() const;

  // Shown controls.
  bool DescriptionVisible() const { return describe_; }
  bool PortListVisible() const { return !defaultPorts_; }

  // The port list over the aliases of the manager: rebuilt when the number of aliases of the
  // panel's kind differs from the rows, else only the checks are set; aliases of the panel's
  // list without a row are appended.
  void RefreshPortRows(const TMidiAliasManager& manager);
  // After the manager changed: aliases that became undefined leave the list, rows rebuilt.
  void AliasesChanged(const TMidiAliasManager& manager);
  const std::vector<TPortRow>& PortRows() const { return rows_; }
  void SetPortChecked(size_t row, bool checked);

 private:
  uint8_t PortKind() const { return IsIncoming() ? makMidiIn : makMidiOut; }
  void RebuildRows(const TMidiAliasManager& manager);

  std::string message_;
  std::string description_;
  bool describe_ = false;
  bool defaultPorts_ = true;
  TMidiAliasList ports_;  // the aliases are the manager's
  std::vector<TPortRow> rows_;
};

class TEPInMidi : public TEPMidi {
 public:
  TEPInMidi() : TEPMidi(true) {}
  void Clear() override;
  bool Swallow() const { return swallow_; }
  void SetSwallow(bool swallow);
  // The editor's load: the translator's output-original flag, not a user change.
  void SetSwallowLoaded(bool swallow) { swallow_ = swallow; }

 private:
  bool swallow_ = true;
};

class TEPOutMidi : public TEPMidi {
 public:
  TEPOutMidi() : TEPMidi(false) {}
};

}  // namespace kv
