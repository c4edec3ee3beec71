#include "engine/dispatcher_hold.h"

#include "engine/translator.h"

namespace kv {

void HoldQueuedAction(const TExecutionContext& context, std::shared_ptr<void>& translator) {
  if (context.translator) translator = context.translator->AddRef();
}

int QueuedActionLevel(const TExecutionContext& context) {
  if (!context.translator || !context.translator->Outgoing()) return kLevelAnyThread;
  return context.translator->Outgoing()->GetExecutionLevel();
}

void RunQueuedAction(TExecutionContext& context, uint16_t& activity) {
  if (context.translator) context.translator->ExecuteOutgoing(context, activity);
}

}  // namespace kv
