#pragma once
// The execute-file action panel: a file to start or open and its parameters, both of which
// may embed variables in % sections. A file chosen inside the project's folder is kept
// relative to it, so the project can move with its files.
#include <string>

#include "editor/panels/edit_panel.h"

namespace kv {

// Where the file dialog starts: an absolute file name starts at that file; otherwise the
// project folder joined with the file name's folder, with its last part preselected.
struct TBrowseStart {
  std::string folder;
  std::string fileName;
};
TBrowseStart ExecuteFileBrowseStart(const std::string& projectFolder, const std::string& fileName);

// The text stored for a chosen file: relative when it lies inside the project folder (the
// folder and a separator lead it, in any letter case; a folder of fewer than 3 characters
// counts as none), else the full path.
std::string StoredExecuteFileName(const std::string& projectFolder, const std::string& chosen);

class TEPOutExecuteFile : public TEditPanel {
 public:
  TEPOutExecuteFile() : TEditPanel("Execute File", false, kActionExecuteFile) {}

  void Clear() override;
  void LoadAction(const TTransAction* action) override;
  std::string GetActionText() override;

  const std::string& FileName() const { return fileName_; }
  void SetFileName(std::string fileName);
  const std::string& Parameters() const { return parameters_; }
  void SetParameters(std::string parameters);
  // "Test": starts the file now with the engine's parameters; false when it failed.
  bool RunTest(TGlobalTranslateParams* params);
  // After the file dialog confirmed a file.
  void FileChosen(const std::string& projectFolder, const std::string& chosen);

 private:
  std::string fileName_;
  std::string parameters_;
};

}  // namespace kv
