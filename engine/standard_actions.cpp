// The program's action kinds, registered in the order in which the program's units start
// (the first registration of a tag wins). Each kind declares its registration function here
// and adds one call, in its place in the list.
#include "engine/action_registry.h"

namespace kv {

// --- declarations: one line per kind -----------------------------------------------------
void RegisterTimerActions();  // Tim0
void RegisterMidiActions();           // MID1, MID2
void RegisterKeyActions();            // KAM1, KAM2, KSQ1, "Key "
void RegisterSwitchActions();         // EnDi, None, Pres, ExF1
void RegisterMouseActions();          // Mse1, Mse2
void RegisterMessageActions();        // SMsg

void RegisterStandardTransActions() {
  // Each kind's function registers its tags; registering a tag again changes nothing, so
  // this may run more than once.
  // --- calls: one line per kind, in registration order -----------------------------------
  RegisterTimerActions();
  RegisterMidiActions();
  RegisterKeyActions();
  RegisterSwitchActions();
  RegisterMouseActions();
  RegisterMessageActions();
}

}  // namespace kv
