#include "app/controller/panic.h"

#include "engine/format.h"

namespace kv {
namespace {

uint32_t ShortMessage(uint32_t status, uint32_t data1, uint32_t data2) {
  return status | (data1 << 8) | (data2 << 16);
}

}  // namespace

std::vector<uint32_t> PanicChannelMessages(int channel) {
  std::vector<uint32_t> messages;
  messages.reserve(kPanicMessagesPerChannel);
  const uint32_t ch = static_cast<uint32_t>(channel) & 0x0F;
  for (uint32_t note = 0; note < 128; ++note) messages.push_back(ShortMessage(0x90 | ch, note, 0));
  messages.push_back(ShortMessage(0xB0 | ch, 120, 0));
  messages.push_back(ShortMessage(0xB0 | ch, 123, 0));
  return messages;
}

int PanicPercent(int channel) {
  // Integer arithmetic, so every compiler rounds the halves (12.5, 37.5, ...) the same way.
  return ((channel + 1) * 200 + kPanicChannels) / (2 * kPanicChannels);
}

std::string PanicProgressText(int percent) { return FormatText("Panic: %d%%", {percent}); }

void TPanic::Press(TPanicHost& host) {
  if (stopped_) {
    host.ResumeProcessing();
    stopped_ = false;
    host.Status("Resuming normal operation.");
    return;
  }
  stopped_ = true;
  host.StopProcessing();
  host.Status(PanicProgressText(0));
  for (int channel = 0; channel < kPanicChannels; ++channel) {
    for (uint32_t message : PanicChannelMessages(channel)) host.SendToOpenOutputs(message);
    host.Status(PanicProgressText(PanicPercent(channel)));
    host.Pause(kPanicChannelPauseMs);
  }
  host.Status("Press Stop again to resume operation.");
}

}  // namespace kv
