#include "engine/actions/execute_file_action.h"

#include <vector>

#include "base/exception.h"
#include "base/text_helpers.h"
#include "base/utils.h"
#include "engine/format.h"
#include "engine/project.h"
#include "engine/system/execute_file_system.h"
#include "engine/translate_params.h"
#include "engine/variables.h"

namespace kv {

void TTransFileOutActionBase::Assign(const TTransAction& source) {
  if (const auto* other = dynamic_cast<const TTransFileOutActionBase*>(&source))
    fileName_ = other->fileName_;
}

std::string TTransFileOutActionBase::SaveToText() const {
  return GetTag() + EncodeLengthPrefixed(fileName_);
}

size_t TTransFileOutActionBase::ReadFileName(std::string_view text, std::string& fileName) const {
  if (text.size() < 6 || !text.starts_with(GetTag())) throw Exception("corrupt action");
  return 4 + DecodeLengthPrefixed(text, 5, fileName);
}

size_t TTransFileOutActionBase::LoadFromText(std::string_view text) {
  std::string fileName;
  const size_t used = ReadFileName(text, fileName);
  fileName_ = std::move(fileName);
  return used;
}

void TTransExecuteFileAction::Assign(const TTransAction& source) {
  TTransFileOutActionBase::Assign(source);
  if (const auto* other = dynamic_cast<const TTransExecuteFileAction*>(&source))
    parameters_ = other->parameters_;
}

std::unique_ptr<TTransAction> TTransExecuteFileAction::Clone() const {
  return std::make_unique<TTransExecuteFileAction>(GetFileName(), parameters_);
}

std::string TTransExecuteFileAction::SaveToText() const {
  return TTransFileOutActionBase::SaveToText() + EncodeLengthPrefixed(parameters_);
}

size_t TTransExecuteFileAction::LoadFromText(std::string_view text) {
  std::string fileName, parameters;
  size_t used = ReadFileName(text, fileName);
  used += DecodeLengthPrefixed(text, used + 1, parameters);
  SetFileName(std::move(fileName));
  parameters_ = std::move(parameters);
  return used;
}

std::string TTransExecuteFileAction::GetDescription() const {
  const std::string& file = GetFileName();
  const size_t separator = file.find_last_of("\\:");
  const std::string last = separator == std::string::npos ? file : file.substr(separator + 1);
  std::string shown = last.empty() ? "[no file set]" : last;
  if (!parameters_.empty()) shown += " " + parameters_;
  return FormatText("Start/show %s", {shown});
}

std::string TTransExecuteFileAction::ResolveFile(const std::string& expanded,
                                                 const std::string& projectFile) {
  const size_t separator = projectFile.find_last_of("\\:");
  const std::string folder =
      separator == std::string::npos ? std::string() : projectFile.substr(0, separator + 1);
  // Without a project folder a relative name stays relative (the shell searches for it),
  // rather than being put at the root of the current drive.
  std::string file = folder.empty() ? expanded : MakeAbsolutePath(expanded, folder);
  if (file.find(' ') != std::string::npos && file.find('"') == std::string::npos)
    file = "\"" + file + "\"";
  return file;
}

bool TTransExecuteFileAction::ExecuteOutgoing(TExecutionContext& context) {
  TGlobalTranslateParams* params = context.params;
  const TGlobalVariables* globals = params != nullptr ? &params->Globals() : nullptr;
  const bool logging = params != nullptr && params->IsLogging();
  std::vector<std::string> errors;
  std::string expandedFile, expandedParameters;
  ExpandVariables(GetFileName(), context.locals, globals, expandedFile, &errors);
  const std::string projectFile =
      params != nullptr && params->Project() != nullptr ? params->Project()->GetFileName() : "";
  const std::string file = ResolveFile(expandedFile, projectFile);
  ExpandVariables(parameters_, context.locals, globals, expandedParameters, &errors);

  if (!errors.empty()) {
    if (logging) {
      std::string line = "Error parsing filename \"" + GetFileName() + "\"";
      if (!parameters_.empty()) line += " and parameters \"" + parameters_ + "\"";
      line += ":";
      params->LogOutgoing(line, context);
      for (const std::string& error : errors) params->Log("  " + error);
    }
    return false;
  }
  const bool started = GetExecuteSystem().Execute(file, expandedParameters);
  if (logging)
    params->LogOutgoing(
        (started ? "Executed " : "Error: Cannot execute ") + file + " " + expandedParameters,
        context);
  return started;
}

}  // namespace kv
