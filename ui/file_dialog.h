#pragma once
// The common file dialogs. A filter is "Description|*.ext|Description|*.a;*.b".
#include <windows.h>
#include <commdlg.h>

#include <cstdint>
#include <string>

namespace kv::ui {

enum : uint32_t {
  ofOverwritePrompt = OFN_OVERWRITEPROMPT,
  ofFileMustExist = OFN_FILEMUSTEXIST,
  ofPathMustExist = OFN_PATHMUSTEXIST,
  ofHideReadOnly = OFN_HIDEREADONLY,
  ofNoChangeDir = OFN_NOCHANGEDIR,
};

// "Text|*.txt|All|*.*" as the dialog wants it: NUL-separated, ending in two NULs.
std::wstring FilterToDialogText(const std::string& filter);

class TFileDialog {
 public:
  virtual ~TFileDialog() = default;
  std::string title;
  std::string filter;
  int filterIndex = 1;     // 1-based, as the dialog counts; the user's choice after Execute
  std::string defaultExt;  // without "."
  std::string initialDir;
  std::string fileName;  // in: proposed; out: the chosen file
  uint32_t options = ofHideReadOnly | ofPathMustExist;

  // True when the user chose a file; false on cancel or error. A name outside the ANSI code
  // page is refused with a message and the dialog shows again.
  bool Execute(HWND owner);

 protected:
  virtual bool Run(OPENFILENAMEW& ofn) = 0;
};

class TOpenDialog : public TFileDialog {
 protected:
  bool Run(OPENFILENAMEW& ofn) override;
};

class TSaveDialog : public TFileDialog {
 protected:
  bool Run(OPENFILENAMEW& ofn) override;
};

}  // namespace kv::ui
