#pragma once
// TEditTrans: the translator editor's state without its window. It shows one translator of
// the main window's list on four pages, keeps what the user changes, and on Apply builds a
// brand-new translator from its controls and hands it to the main window, which puts it in
// place of the old one. The engine's translator is never changed in place.
//
// Main thread only, except the MIDI capture it owns (editor/midi_capture.h).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/midi_capture.h"
#include "editor/panels/execute_file_panel.h"
#include "editor/panels/keystroke_panels.h"
#include "editor/panels/message_panel.h"
#include "editor/panels/midi_panels.h"
#include "editor/panels/mouse_panel.h"
#include "editor/panels/preset_panels.h"
#include "editor/panels/special_panels.h"
#include "editor/panels/timer_panels.h"
#include "editor/rules_page.h"
#include "editor/value_fields.h"
#include "engine/translator.h"

namespace kv {

// The main window's list item being edited; nullptr for none.
using TEditItem = const void*;

// What the editor asks of the main window.
class TEditTransHost {
 public:
  virtual ~TEditTransHost() = default;
  // Puts the translator in place of the item's. Throws kv::Exception when the item has gone.
  virtual void ReplaceTranslator(TEditItem item, TTransMsgPtr translator) = 0;
  virtual void SelectNextTranslator() = 0;
  virtual void SelectPreviousTranslator() = 0;
  // One error box with the collected lines.
  virtual void ShowErrors(const std::string& text) = 0;
};

enum TEditPage { kPageGeneral = 0, kPageIncoming = 1, kPageRules = 2, kPageOutgoing = 3 };
enum TDelayChoice { kNoDelay = 0, kDelayInSeconds = 1, kDelayInMillis = 2 };
enum TCloseAnswer { kCloseYes, kCloseNo, kCloseCancel };

inline constexpr const char* kUnknownPanelCaption = "Unknown/Not Supported";

// One type chooser: the panels of one side in their order, and the unknown item appended
// while no panel fits.
struct TPanelChooser {
  std::vector<TEditPanel*> panels;
  int chosen = 0;  // index into panels; -1 for the unknown item
  bool unknownListed = false;

  std::vector<std::string> Items() const;
  // The chosen item's index in Items().
  int ItemIndex() const;
  TEditPanel* Chosen() const { return chosen >= 0 ? panels[static_cast<size_t>(chosen)] : nullptr; }
  // The kind code of the chosen panel; 0 for the unknown item.
  int Code() const { return Chosen() ? Chosen()->Kind() : 0; }
  TEditPanel* PanelOfKind(int code) const;
};

class TEditTrans {
 public:
  struct TSources {
    TTimerNameSource timers;
    TPresetNameSource presets;
  };

  // notifier: how captured MIDI reaches the window (posted, or at once on the main thread).
  explicit TEditTrans(TEditTransHost& host, TSources sources = {},
                      TMidiCapture::TNotifier notifier = {});
  ~TEditTrans();
  TEditTrans(const TEditTrans&) = delete;
  TEditTrans& operator=(const TEditTrans&) = delete;

  // --- the main window's calls ----------------------------------------------------------
  // Pending changes are applied first; when that fails the editor stays on its item with
  // every edit and its modified mark, and the result is false.
  bool EditTranslator(TEditItem item, const TTransMsg* translator);
  bool EditBlankEntry(TEditItem item, const std::string& name, bool checked);
  void UpdateActive(TEditItem item, bool checked);
  void UpdateName(TEditItem item, const std::string& name);
  void ReplaceItem(TEditItem oldItem, TEditItem newItem);
  void ItemDeleted(TEditItem item);
  bool ApplyIfModified();
  bool ApplyChanges();
  void Revert();
  // The move is asked for only once pending changes applied; a failed Apply stays here.
  void NextTranslator() {
    if (ApplyIfModified()) host_.SelectNextTranslator();
  }
  void PreviousTranslator() {
    if (ApplyIfModified()) host_.SelectPreviousTranslator();
  }

  // --- state --------------------------------------------------------------------------------
  TEditItem Item() const { return item_; }
  // Every control is enabled exactly while an item is edited.
  bool Enabled() const { return enabled_; }
  bool Modified() const { return modified_; }
  bool ApplyEnabled() const { return modified_; }
  bool RevertEnabled() const { return modified_; }
  std::string Title() const;
  const std::string& ErrorText() const { return errorText_; }
  // The copy Revert reloads: the translator as loaded, or as last applied.
  const TTransMsg* KeptCopy() const { return kept_.get(); }

  // --- the Options page ---------------------------------------------------------------------
  const std::string& Name() const { return name_; }
  void SetName(std::string name);
  bool Active() const { return active_; }
  void SetActive(bool active);
  bool StopProcessing() const { return stop_; }
  void SetStopProcessing(bool stop);

  // --- the Incoming and Outgoing pages ------------------------------------------------------
  const TPanelChooser& IncomingChooser() const { return in_; }
  const TPanelChooser& OutgoingChooser() const { return out_; }
  // The user's choice by item index: capture goes off, the translator is modified.
  void ChooseIncoming(int itemIndex);
  void ChooseOutgoing(int itemIndex);
  const std::string& IncomingRawText() const { return inRaw_; }
  const std::string& OutgoingRawText() const { return outRaw_; }
  const std::string& IncomingSummary() const { return inSummary_; }
  const std::string& OutgoingSummary() const { return outSummary_; }
  TDelayChoice Delay() const { return delay_; }
  void SetDelay(TDelayChoice delay);
  TComboModel& DelaySeconds() { return delaySeconds_; }
  TComboModel& DelayMillis() { return delayMillis_; }
  // A key typed into a delay combo also chooses its radio button.
  void DelayTyped(TDelayChoice which, std::string text);

  TEPInMidi& InMidi() { return inMidi_; }
  TEPOutMidi& OutMidi() { return outMidi_; }
  TEPInKeystroke& InKeystroke() { return inKey_; }
  TEPOutKeyStroke& OutKeystroke() { return outKey_; }
  TEPOutMouse& OutMouse() { return outMouse_; }
  TEPInTimer& InTimer() { return inTimer_; }
  TEPOutTimer& OutTimer() { return outTimer_; }
  TEPInPreset& InPreset() { return inPreset_; }
  TEPOutPreset& OutPreset() { return outPreset_; }
  TEPInSpecial& InSpecial() { return inSpecial_; }
  TEPOutSpecial& OutSpecial() { return outSpecial_; }
  TEPOutNone& OutNone() { return outNone_; }
  TEPOutMessage& OutMessage() { return outMessage_; }
  TEPOutExecuteFile& OutExecuteFile() { return outExecute_; }

  // --- the Rules page -----------------------------------------------------------------------
  TRulesPage& Rules() { return rules_; }

  // --- pages ---------------------------------------------------------------------------------
  TEditPage Page() const { return page_; }
  // Leaves the shown page as on a page change (capture off, summaries refreshed).
  void ShowPage(TEditPage page);
  void NextPage();
  void PreviousPage();

  // --- MIDI capture ---------------------------------------------------------------------------
  // Binds the engine's event callback to the capture; at start-up, before events flow.
  void AttachEngine(TTransEngine& engine);
  // On only with an engine, on the Incoming or Outgoing page with its MIDI panel chosen.
  void SetCapture(bool on);
  TCaptureTarget CaptureTarget() const { return capture_->Target(); }
  TMidiCapture& Capture() { return *capture_; }
  // The window's answer to a capture notification: the newest message into the field.
  void ShowCapturedMessage();
  void MonitorLineClicked(int index);

  // --- closing --------------------------------------------------------------------------------
  // With unsaved changes asks; false keeps the window open. After true the editor forgets
  // the item.
  bool CloseQuery(const std::function<TCloseAnswer()>& ask);
  // The same question for whoever is about to end what the editor shows (the program's exit):
  // Yes applies, and a failed Apply keeps every edit; No lets the caller go on without them;
  // Cancel keeps them. True when the caller may go on. Nothing is dropped here: an exit that
  // then does not happen leaves the change where it was, and one that happens takes it away.
  bool AskToApply(const std::function<TCloseAnswer()>& ask);
  // The window is shown: capture off, the delay combos offer the variable names.
  void Shown();
  // The window is hidden: capture off.
  void Hidden() { SetCapture(false); }

  // The translator the controls describe, for the chosen codes (0: the side's raw text).
  // Loading errors of the actions go to errors, rule lines that do not parse to ruleErrors;
  // the translator holds the rules that parsed.
  TTransMsgPtr BuildTranslator(int inCode, int outCode, std::vector<std::string>& errors,
                               std::vector<std::string>& ruleErrors);

 private:
  void RegisterPanels();
  // keepCapture: the applied translator shown again, capture goes on where it was.
  void LoadTranslator(const TTransMsg* translator, bool keepCapture = false);
  void LoadIncoming(const TTransMsg& translator);
  void LoadOutgoing(const TTransMsg& translator);
  void SelectPanel(TPanelChooser& chooser, int chosen);
  void DropUnknownItem(TPanelChooser& chooser);
  void UpdateSummaryHints();
  // Where capture would go, switched on or off, on the shown page with the chosen panels.
  TCaptureTarget CaptureTargetFor(bool on) const;
  void MarkModified();
  void Empty();

  TEditTransHost& host_;
  TEditItem item_ = nullptr;
  bool enabled_ = false;
  bool modified_ = false;
  int loading_ = 0;
  bool engineKnown_ = false;
  std::string errorText_;
  TTransMsgPtr kept_;

  std::string name_;
  bool active_ = true;
  bool stop_ = false;
  std::string inRaw_;
  std::string outRaw_;
  std::string inSummary_;
  std::string outSummary_;
  TDelayChoice delay_ = kNoDelay;
  TComboModel delaySeconds_;
  TComboModel delayMillis_;
  TEditPage page_ = kPageIncoming;

  TEPOutNone outNone_;
  TEPInMidi inMidi_;
  TEPOutMidi outMidi_;
  TEPInKeystroke inKey_;
  TEPOutKeyStroke outKey_;
  TEPOutMouse outMouse_;
  TEPInTimer inTimer_;
  TEPOutTimer outTimer_;
  TEPOutPreset outPreset_;
  TEPInPreset inPreset_;
  TEPInSpecial inSpecial_;
  TEPOutSpecial outSpecial_;
  TEPOutMessage outMessage_;
  TEPOutExecuteFile outExecute_;
  TPanelChooser in_;
  TPanelChooser out_;
  TRulesPage rules_;
  std::shared_ptr<TMidiCapture> capture_;
};

}  // namespace kv
