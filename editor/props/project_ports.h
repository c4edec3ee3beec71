#pragma once
// What the "MIDI Ports" page asks of the program about the project's ports: which aliases the
// project uses, binding them to their ports, and opening the ports the project uses while
// closing the others. The controller implements it; main thread only.
namespace kv {

class TMidiAliasList;

class TProjectPorts {
 public:
  virtual void CollectUsedAliases(TMidiAliasList& list) = 0;
  virtual void BindUsedAliases(bool report) = 0;
  // Returns whether anything was opened or closed; ask: the user confirms first.
  virtual bool OpenUsedPorts(bool ask) = 0;

 protected:
  ~TProjectPorts() = default;
};

}  // namespace kv
