#pragma once
// What the dispatcher does with the translator of a queued action: keep it alive while the
// entry waits, ask the translator's outgoing action for its execution level,
// and run it. Kept apart from the queue so the queue itself knows only the records.
//
// HoldQueuedAction only takes a shared reference (atomic counters; it runs with the
// dispatcher's lock held). Dropping them may free the translator or the preset, so the
// dispatcher drops them with no lock held.
#include <cstdint>
#include <memory>

#include "engine/event.h"

namespace kv {

void HoldQueuedAction(const TExecutionContext& context, std::shared_ptr<void>& translator);
// The execution level of the context's outgoing action (0 when it has none).
int QueuedActionLevel(const TExecutionContext& context);
// Lets the translator execute its outgoing action with the context; adds the activity bits.
void RunQueuedAction(TExecutionContext& context, uint16_t& activity);

}  // namespace kv
