#pragma once
// A MIDI driver stand-in of our own behind the multimedia MIDI seam
// (midi/system/winmm_midi.h), so the system ports are tested natively (ThreadSanitizer
// included) and under Wine, and the checking tool can drive MIDI in and out without hardware.
//
// It behaves as a driver does: callbacks arrive on a thread of its own, in order; input
// SysEx buffers are filled in the order they were added and all handed back on reset; short
// and long output are recorded per device; an output can be cabled to an input so that what
// it sends arrives there; devices can be unplugged and plugged again (device ids shift, an
// open handle gets a close message, later calls on it fail as the system's do, buffers it
// holds are never handed back) and errors can be injected into any call.
//
// Lifecycle: create it, install it with TWinmmMidiScope / SetWinmmMidi, and destroy it only
// after every port that used it is closed and it is uninstalled. Every member may be called
// from any thread; WaitIdle and the calls that return buffers (Reset, Close) wait for the
// callback thread unless they are made on it.
//
// Lock: one mutex guards every field; callbacks are always called without it.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/thread.h"
#include "midi/system/winmm_midi.h"

namespace kv {

// The calls errors can be injected into (both directions alike).
enum class TLoopbackCall {
  GetDevName,
  Open,
  Close,
  Reset,
  Start,
  Stop,
  ShortMsg,
  LongMsg,
  Prepare,
  Unprepare,
  AddBuffer,
  kCount
};

// One message an output device took: a short message's bytes (by its status) or a SysEx.
struct TLoopbackSent {
  bool isLong = false;
  std::vector<uint8_t> bytes;
};

class TLoopbackMidi final : public TWinmmMidi {
 public:
  TLoopbackMidi();
  ~TLoopbackMidi() override;
  TLoopbackMidi(const TLoopbackMidi&) = delete;
  TLoopbackMidi& operator=(const TLoopbackMidi&) = delete;

  // Devices appear in the order added; the path is the device interface path (may be empty).
  void AddInput(const std::string& name, const std::string& path = {});
  void AddOutput(const std::string& name, const std::string& path = {});
  // What the output sends from now on also arrives at the input.
  void AddCable(const std::string& outputName, const std::string& inputName);
  // Every device of that name, both directions.
  void Unplug(const std::string& name);
  void Plug(const std::string& name);

  // Incoming MIDI at an open, started input; false when no such input takes it.
  bool FeedShort(const std::string& inputName, uint32_t message, TMidiMsg kind = TMidiMsg::InData);
  bool FeedLong(const std::string& inputName, const std::vector<uint8_t>& bytes);

  // What the output devices of that name took, in order.
  std::vector<TLoopbackSent> Sent(const std::string& outputName) const;
  void ClearSent();

  // While held, finished SysEx output buffers are kept instead of being handed back.
  void HoldOutputBuffers(bool hold);
  // Hands back up to count held buffers, oldest first; returns how many.
  size_t ReleaseOutputBuffers(size_t count = SIZE_MAX);
  size_t HeldOutputBuffers() const;

  // The next `times` calls of that kind fail with code.
  void InjectError(TLoopbackCall call, TMmResult code, int times = 1);
  int CallCount(TLoopbackCall call) const;

  // Input buffers the named input's open handle holds, and open handles in all.
  size_t QueuedInputBuffers(const std::string& inputName) const;
  size_t OpenHandles() const;

  // Waits until no callback is queued or running (including those queued meanwhile).
  void WaitIdle();

  // TWinmmMidi
  uint32_t OutGetNumDevs() override;
  TMmResult OutGetDevName(uint32_t id, std::string& name) override;
  TMmResult OutQueryInterfaceSize(uint32_t id, uint32_t& bytes) override;
  TMmResult OutQueryInterface(uint32_t id, uint32_t bytes, std::string& path) override;
  TMmResult OutOpen(TMidiHandle& handle, uint32_t id, TMidiCallback callback,
                    uintptr_t instance) override;
  TMmResult OutClose(TMidiHandle handle) override;
  TMmResult OutReset(TMidiHandle handle) override;
  TMmResult OutShortMsg(TMidiHandle handle, uint32_t message) override;
  TMmResult OutPrepareHeader(TMidiHandle handle, TMidiHeader& header) override;
  TMmResult OutUnprepareHeader(TMidiHandle handle, TMidiHeader& header) override;
  TMmResult OutLongMsg(TMidiHandle handle, TMidiHeader& header) override;
  bool OutGetErrorText(TMmResult code, std::string& text) override;

  uint32_t InGetNumDevs() override;
  TMmResult InGetDevName(uint32_t id, std::string& name) override;
  TMmResult InQueryInterfaceSize(uint32_t id, uint32_t& bytes) override;
  TMmResult InQueryInterface(uint32_t id, uint32_t bytes, std::string& path) override;
  TMmResult InOpen(TMidiHandle& handle, uint32_t id, TMidiCallback callback,
                   uintptr_t instance) override;
  TMmResult InClose(TMidiHandle handle) override;
  TMmResult InReset(TMidiHandle handle) override;
  TMmResult InStart(TMidiHandle handle) override;
  TMmResult InStop(TMidiHandle handle) override;
  TMmResult InPrepareHeader(TMidiHandle handle, TMidiHeader& header) override;
  TMmResult InUnprepareHeader(TMidiHandle handle, TMidiHeader& header) override;
  TMmResult InAddBuffer(TMidiHandle handle, TMidiHeader& header) override;
  bool InGetErrorText(TMmResult code, std::string& text) override;

 private:
  struct Device {
    std::string name, path;
    bool isOutput = false;
    bool plugged = true;
    Device* cable = nullptr;  // output: the input that receives what it sends
    std::vector<TLoopbackSent> sent;
  };
  struct Handle {
    Device* device = nullptr;
    bool isOutput = false;
    TMidiCallback callback = nullptr;
    uintptr_t instance = 0;
    bool lost = false;
    bool started = false;
    std::deque<TMidiHeader*> buffers;  // input: added buffers; output: held buffers
    std::deque<uint8_t> pendingSysEx;  // input bytes waiting for a buffer
  };
  struct Event {
    TMidiHandle handle = 0;
    TMidiCallback callback = nullptr;
    uintptr_t instance = 0;
    TMidiMsg msg{};
    uintptr_t param1 = 0, param2 = 0;
    TMidiHeader* header = nullptr;  // marked done (and out of the queue) when delivered
  };
  using Lock = std::unique_lock<std::mutex>;

  void Run();
  void Wake();
  Device* FindDevice(bool isOutput, uint32_t id);
  Handle* FindHandle(TMidiHandle handle, bool isOutput);
  // The handle a call works on, after any failure injected into the call; null, with the
  // result, when the handle is unknown or its device was unplugged.
  Handle* LiveHandle(TLoopbackCall call, TMidiHandle handle, bool isOutput, TMmResult& result);
  // Marks a prepared header as queued; the error when it is not prepared or already queued.
  static TMmResult Enqueue(TMidiHeader& header);
  Handle* OpenHandleOf(const std::string& name, bool isOutput);
  TMmResult Injected(TLoopbackCall call);
  uint64_t Post(TMidiHandle id, const Handle& h, TMidiMsg msg, uintptr_t p1 = 0, uintptr_t p2 = 0,
                TMidiHeader* header = nullptr);
  void WaitDelivered(Lock& lock, uint64_t sequence);
  void FillInputBuffers(TMidiHandle id, Handle& h);
  void ReturnAll(TMidiHandle id, Handle& h, TMidiMsg msg, Lock& lock);
  TMmResult Open(bool isOutput, TMidiHandle& handle, uint32_t id, TMidiCallback callback,
                 uintptr_t instance);
  TMmResult Close(bool isOutput, TMidiHandle handle);
  TMmResult Prepare(bool isOutput, TMidiHandle handle, TMidiHeader& header);
  TMmResult Unprepare(bool isOutput, TMidiHandle handle, TMidiHeader& header);
  TMmResult QueryInterfaceSize(bool isOutput, uint32_t id, uint32_t& bytes);
  TMmResult QueryInterface(bool isOutput, uint32_t id, uint32_t bytes, std::string& path);
  TMmResult GetDevName(bool isOutput, uint32_t id, std::string& name);
  uint32_t NumDevs(bool isOutput);
  void Send(Device& device, bool isLong, const uint8_t* data, size_t length, Lock& lock);

  mutable std::mutex mutex_;  // guards every field below
  std::condition_variable changed_;
  std::vector<std::unique_ptr<Device>> devices_;
  std::map<TMidiHandle, Handle> handles_;
  TMidiHandle nextHandle_ = 0x1000;
  std::deque<Event> events_;
  uint64_t posted_ = 0, delivered_ = 0;
  bool holdOutput_ = false;
  std::deque<std::pair<TMidiHandle, TMidiHeader*>> held_;
  std::map<TLoopbackCall, std::deque<TMmResult>> injected_;
  int calls_[static_cast<int>(TLoopbackCall::kCount)] = {};
  bool stopping_ = false;
  std::thread::id callbackThreadId_;

  class TCallbackThread final : public TThread {
   public:
    explicit TCallbackThread(TLoopbackMidi& owner) : owner_(owner) {}
    ~TCallbackThread() override { Stop(); }

   protected:
    void Execute() override { owner_.Run(); }
    void TerminateRequested() override { owner_.Wake(); }

   private:
    TLoopbackMidi& owner_;
  };
  TCallbackThread callbackThread_{*this};  // last: started when everything above exists
};

}  // namespace kv
