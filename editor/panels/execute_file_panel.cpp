#include "editor/panels/execute_file_panel.h"

#include "base/text.h"
#include "base/text_helpers.h"
#include "base/utils.h"
#include "engine/actions/execute_file_action.h"

namespace kv {
namespace {

constexpr size_t kMinProjectFolder = 3;

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

}  // namespace

TBrowseStart ExecuteFileBrowseStart(const std::string& projectFolder,
                                    const std::string& fileName) {
  if (!fileName.empty() && IsAbsolutePath(fileName)) {
    return {ExtractFilePath(fileName), ExtractFileName(fileName)};
  }
  return {MakeAbsolutePath(ExtractFilePath(fileName), projectFolder), ExtractFileName(fileName)};
}

std::string StoredExecuteFileName(const std::string& projectFolder, const std::string& chosen) {
  std::string folder = projectFolder;
  while (!folder.empty() && IsSeparator(folder.back())) folder.pop_back();
  if (projectFolder.size() < kMinProjectFolder || folder.empty()) return chosen;
  // The folder must be followed by a separator: "C:\Show" holds "C:\Show\a.exe" but not
  // "C:\Show2\a.exe".
  if (chosen.size() <= folder.size() + 1 || !IsSeparator(chosen[folder.size()])) return chosen;
  if (!AnsiSameText(std::string_view(chosen).substr(0, folder.size()), folder)) return chosen;
  return chosen.substr(folder.size() + 1);
}

void TEPOutExecuteFile::Clear() {
  fileName_.clear();
  parameters_.clear();
}

void TEPOutExecuteFile::LoadAction(const TTransAction* action) {
  const auto* execute = dynamic_cast<const TTransExecuteFileAction*>(action);
  if (execute == nullptr) {
    Clear();
    return;
  }
  fileName_ = execute->GetFileName();
  parameters_ = execute->GetParameters();
}

std::string TEPOutExecuteFile::GetActionText() {
  return TTransExecuteFileAction(fileName_, parameters_).SaveToText();
}

bool TEPOutExecuteFile::RunTest(TGlobalTranslateParams* params) {
  TTransExecuteFileAction action(fileName_, parameters_);
  return RunActionNow(action, params);
}

void TEPOutExecuteFile::SetFileName(std::string fileName) {
  fileName_ = std::move(fileName);
  Changed();
}

void TEPOutExecuteFile::SetParameters(std::string parameters) {
  parameters_ = std::move(parameters);
  Changed();
}

void TEPOutExecuteFile::FileChosen(const std::string& projectFolder, const std::string& chosen) {
  SetFileName(StoredExecuteFileName(projectFolder, chosen));
}

}  // namespace kv
