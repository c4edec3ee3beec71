#pragma once
// A MIDI output sink for the MIDI action's tests: records every send with the port names it
// was given (none for a send to all outputs) and answers with a chosen result.
#include <mutex>
#include <string>
#include <vector>

#include "midi/model/alias.h"
#include "midi/manager/midi_action_sink.h"

namespace kv::testing {

class TMidiSendRecorder : public TMidiOutputSink {
 public:
  struct TSend {
    bool isLong = false;
    bool toAll = false;
    std::vector<std::string> ports;
    std::vector<uint8_t> bytes;  // a short message as its three packed bytes
    uint32_t packed = 0;
  };

  bool SendShortToAll(uint32_t message) override { return Short(nullptr, message); }
  bool SendLongToAll(const uint8_t* data, size_t length) override {
    return Long(nullptr, data, length);
  }
  bool SendShortToAliases(const TMidiAliasList& aliases, uint32_t message) override {
    return Short(&aliases, message);
  }
  bool SendLongToAliases(const TMidiAliasList& aliases, const uint8_t* data,
                         size_t length) override {
    return Long(&aliases, data, length);
  }

  void SetResult(bool result) {
    std::lock_guard<std::mutex> guard(mutex_);
    result_ = result;
  }
  std::vector<TSend> Sends() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return sends_;
  }

 private:
  static std::vector<std::string> Names(const TMidiAliasList* aliases) {
    std::vector<std::string> names;
    if (aliases)
      for (const TMidiAlias* a : aliases->Items()) names.push_back(a->GetName());
    return names;
  }
  bool Short(const TMidiAliasList* aliases, uint32_t message) {
    TSend send;
    send.toAll = aliases == nullptr;
    send.ports = Names(aliases);
    send.packed = message;
    for (int i = 0; i < 3; ++i) send.bytes.push_back(static_cast<uint8_t>(message >> (8 * i)));
    return Record(std::move(send));
  }
  bool Long(const TMidiAliasList* aliases, const uint8_t* data, size_t length) {
    TSend send;
    send.isLong = true;
    send.toAll = aliases == nullptr;
    send.ports = Names(aliases);
    send.bytes.assign(data, data + length);
    return Record(std::move(send));
  }
  bool Record(TSend send) {
    std::lock_guard<std::mutex> guard(mutex_);
    sends_.push_back(std::move(send));
    return result_;
  }

  mutable std::mutex mutex_;  // guards sends_ and result_
  std::vector<TSend> sends_;
  bool result_ = true;
};

}  // namespace kv::testing
