#pragma once
// The panic button: every note off and the all-sound-off and all-notes-off controllers on each
// channel of every open output, with processing and timers stopped until it is pressed again.
#include <cstdint>
#include <string>
#include <vector>

namespace kv {

inline constexpr int kPanicChannels = 16;
inline constexpr int kPanicMessagesPerChannel = 130;  // 128 notes, CC 120, CC 123
inline constexpr uint32_t kPanicChannelPauseMs = 150;

// The short messages of one channel in order (status in bits 0-7, data 1 in 8-15, data 2 in
// 16-23).
std::vector<uint32_t> PanicChannelMessages(int channel);
// The percentage shown after a channel: (channel + 1) / 16 of 100, halves rounded up.
int PanicPercent(int channel);
std::string PanicProgressText(int percent);

// What a press does to the program.
class TPanicHost {
 public:
  virtual ~TPanicHost() = default;
  virtual void StopProcessing() = 0;   // engine stopped, timers killed and paused
  virtual void ResumeProcessing() = 0; // timers resumed, engine running
  virtual void SendToOpenOutputs(uint32_t message) = 0;
  virtual void Status(const std::string& text) = 0;  // status bar, repainted
  virtual void Pause(uint32_t ms) = 0;
};

class TPanic {
 public:
  // The first press sends the sequence and leaves processing stopped; the next resumes.
  void Press(TPanicHost& host);
  bool Stopped() const { return stopped_; }

 private:
  bool stopped_ = false;
};

}  // namespace kv
