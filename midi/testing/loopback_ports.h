#pragma once
// The ports a scan finds when only the loopback stand-in is there: its inputs and outputs, no
// mapper and no virtual ports. For tests, the check tool and the benchmarks.
#include "midi/manager/midi_manager.h"

namespace kv {

class TLoopbackPortEnumerator final : public TMidiPortEnumerator {
 public:
  void EnumVirtualInputs(TMidiDeviceList& list, const std::u16string&) override { list.clear(); }
  void EnumVirtualOutputs(TMidiDeviceList& list, const std::u16string&) override { list.clear(); }
  void EnumVirtualInputNames(TVirtualPortNames& list, const std::u16string&) override {
    list.clear();
  }
  void EnumVirtualOutputNames(TVirtualPortNames& list, const std::u16string&) override {
    list.clear();
  }
  void EnumSystemInputs(TMidiDeviceList& list) override;
  void EnumSystemOutputs(TMidiDeviceList& list, bool withMapper) override;
};

}  // namespace kv
