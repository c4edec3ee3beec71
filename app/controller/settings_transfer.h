#pragma once
// Export Settings and Import Settings: the settings written to or read from a file of the
// user's choice, with a page of explanation first unless the user asked not to see it again.
#include <optional>
#include <string>

namespace kv {

class TKVHighLevel;

inline constexpr const char* kSettingsFileFilter =
    "Korvanta Settings (*.kvxs)|*.kvxs|All files (*.*)|*.*";
inline constexpr const char* kDefaultSettingsExportName = "TranslatorSettings.kvxs";
inline constexpr const char* kExportSettingsTitle = "Export Settings";
inline constexpr const char* kImportSettingsTitle = "Import Settings";

// The main window's settings the two commands read and change.
struct TSettingsTransferChoices {
  std::string settingsFilename;  // the file last exported or imported
  bool dontShowExport = false;
  bool dontShowImport = false;
};

// The windows the commands show. Lifecycle: owned by the caller, used on the main thread for
// the length of one command.
class TSettingsTransferHost {
 public:
  enum TPage { kExportPage = 0, kImportPage = 1 };
  virtual ~TSettingsTransferHost() = default;
  // The explanation page with its "Don't show this again" box: the box's state on OK, none on
  // Cancel.
  virtual std::optional<bool> ShowHelp(TPage page, bool dontShowAgain) = 0;
  // The save (or open) dialog; fileName in: proposed, out: chosen. initialDir may be empty.
  virtual bool ChooseFile(bool save, const std::string& title, std::string& fileName,
                          const std::string& initialDir) = 0;
  virtual void Information(const std::string& text) = 0;
  virtual void Error(const std::string& text) = 0;
};

class TSettingsTransfer {
 public:
  TSettingsTransfer(TKVHighLevel& controller, TSettingsTransferHost& host)
      : controller_(controller), host_(host) {}
  // Each returns true when the file was written or read.
  bool Export(TSettingsTransferChoices& choices);
  bool Import(TSettingsTransferChoices& choices);

 private:
  bool Choose(bool save, const TSettingsTransferChoices& choices, std::string& file);

  TKVHighLevel& controller_;
  TSettingsTransferHost& host_;
  std::string dialogFile_;  // the dialog's own previous file, for when none is kept
};

}  // namespace kv
