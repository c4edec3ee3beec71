#pragma once
// Stored window placement (size, position relative to the work area, state, visibility,
// stay-on-top style) in a settings section, and centring over an owner. These never raise:
// a store that cannot be read or written leaves the window as it is. The keys and the
// arithmetic are in ui/placement_logic.h.
#include <string_view>

#include "base/ini_file.h"
#include "ui/placement_logic.h"

namespace kv::ui {

class TForm;

// The work area of the primary screen; the virtual desktop when the system cannot say.
TRect WorkArea();

void SaveFormPlacement(TForm& form, TCustomIniFile& ini, std::string_view section, int flags,
                       std::string_view prefix = "");
void LoadFormPlacement(TForm& form, const TCustomIniFile& ini, std::string_view section, int flags,
                       std::string_view prefix = "");
// Centres the form over the owner when it is a visible form, else over the work area, and
// keeps it on the work area; the size stays.
void CenterFormOver(TForm& form, TForm* owner);

}  // namespace kv::ui
