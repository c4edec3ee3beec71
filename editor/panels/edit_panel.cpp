#include "editor/panels/edit_panel.h"

#include "engine/event.h"
#include "engine/variables.h"

namespace kv {

bool RunActionNow(TTransAction& action, TGlobalTranslateParams* params) {
  TLocalVariables locals;
  ClearLocalVariables(locals);
  TExecutionContext context;
  context.params = params;
  context.locals = &locals;
  return action.ExecuteOutgoing(context);
}

}  // namespace kv
