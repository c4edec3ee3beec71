#pragma once
// TTransFileOutActionBase: the base of outgoing actions that name a file (level 3, outgoing
// only), with GetTag giving the concrete kind's tag; TTransExecuteFileAction ("ExF1", id 10)
// starts a program or opens a document through the shell (engine/execute_file_system.h),
// with variables expanded in the file name and the parameters.
//
// Thread: level 3, so the engine always queues it and the dispatcher runs it on the main
// thread with its entry's copy of the event's local variables.
#include <memory>
#include <string>

#include "engine/action.h"

namespace kv {

class TTransFileOutActionBase : public TTransAction {
 public:
  // Always outgoing.
  TTransFileOutActionBase() : TTransAction(false) {}
  explicit TTransFileOutActionBase(std::string fileName)
      : TTransAction(false), fileName_(std::move(fileName)) {}

  void Assign(const TTransAction& source) override;
  // The tag and the file name length-prefixed.
  std::string SaveToText() const override;
  // Throws kv::Exception "corrupt action" or "Wrong string format".
  size_t LoadFromText(std::string_view text) override;
  int GetExecutionLevel() const override { return kLevelMainNotInWalk; }
  int GetDirections() const override { return kDirectionOutgoing; }
  virtual std::string GetTag() const = 0;

  const std::string& GetFileName() const { return fileName_; }

 protected:
  // Reads the tag and the file name; returns the characters used.
  size_t ReadFileName(std::string_view text, std::string& fileName) const;
  void SetFileName(std::string fileName) { fileName_ = std::move(fileName); }

 private:
  std::string fileName_;  // as stored: variables not expanded
};

class TTransExecuteFileAction : public TTransFileOutActionBase {
 public:
  // The registry creates actions by direction; this kind is outgoing whatever is asked.
  explicit TTransExecuteFileAction(bool /*incoming*/) {}
  TTransExecuteFileAction(std::string fileName, std::string parameters)
      : TTransFileOutActionBase(std::move(fileName)), parameters_(std::move(parameters)) {}

  void Assign(const TTransAction& source) override;
  std::unique_ptr<TTransAction> Clone() const override;
  std::string SaveToText() const override;
  size_t LoadFromText(std::string_view text) override;
  std::string GetDescription() const override;
  std::string GetShortDescription() const override { return GetDescription(); }
  bool ExecuteOutgoing(TExecutionContext& context) override;
  int GetActionType() const override { return kActionExecuteFile; }
  std::string GetTag() const override { return "ExF1"; }

  const std::string& GetParameters() const { return parameters_; }

  // The file as it is started: joined to the project's folder when relative (used as it is
  // when the project has no folder yet) and quoted when it holds a blank and no quote.
  static std::string ResolveFile(const std::string& expanded, const std::string& projectFile);

 private:
  std::string parameters_;
};

}  // namespace kv
