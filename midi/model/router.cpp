#include "midi/model/router.h"

#include "base/ini_file.h"
#include "base/numbered_key.h"

namespace kv {

void TMidiRoute::SetAliasNames(std::string_view inName, std::string_view outName,
                               TMidiAliasManager& aliases) {
  if (IsValidAliasName(inName) && IsValidAliasName(outName)) {
    in_ = aliases.Lookup(inName, makMidiIn, true);
    out_ = aliases.Lookup(outName, makMidiOut, true);
  } else {
    in_ = nullptr;
    out_ = nullptr;
  }
}

// --- TMidiRoutes --------------------------------------------------------------------------

int TMidiRoutes::IndexOf(const TMidiRoute* route) const {
  for (size_t i = 0; i < routes_.size(); ++i)
    if (routes_[i].get() == route) return static_cast<int>(i);
  return -1;
}

void TMidiRoutes::GetOutputsOf(int32_t slotIndex, TMidiAliasList& list) const {
  list.Clear();
  if (slotIndex < 0) return;
  for (const auto& r : routes_)
    if (r->IsValid() && r->GetIn()->GetDeviceIndex() == slotIndex) list.AddUnique(r->GetOut());
}

// --- TMidiRouter --------------------------------------------------------------------------

TMidiRouter::TMidiRouter(TMidiAliasManager& aliases) : aliases_(aliases) {
  aliases_.AddChangeListener({&TMidiRouter::AliasesChanged, this});
}

TMidiRouter::~TMidiRouter() {
  aliases_.RemoveChangeListener({&TMidiRouter::AliasesChanged, this});
}

void TMidiRouter::AliasesChanged(void* router, TMidiAliasManager&) {
  static_cast<TMidiRouter*>(router)->DropDeadRoutes();
}

TMidiRoute& TMidiRouter::Append(TMidiAlias* in, TMidiAlias* out) {
  routes_.routes_.push_back(std::make_unique<TMidiRoute>(in, out, routes_.GetCount()));
  return *routes_.routes_.back();
}

int TMidiRouter::AddRoute(TMidiAlias* in, TMidiAlias* out) {
  Append(in, out);
  NotifyChange();
  return routes_.GetCount() - 1;
}

int TMidiRouter::AddRouteByNames(std::string_view inName, std::string_view outName) {
  Append(nullptr, nullptr).SetAliasNames(inName, outName, aliases_);
  NotifyChange();
  return routes_.GetCount() - 1;
}

void TMidiRouter::ChangeRoute(TMidiRoute* route, TMidiAlias* in, TMidiAlias* out) {
  if (!route) {
    AddRouteByNames(in ? in->GetName() : std::string(), out ? out->GetName() : std::string());
    return;
  }
  if (route->GetIn() == in && route->GetOut() == out) return;
  route->Set(in, out);
  NotifyChange();
}

void TMidiRouter::DeleteRoute(int index) {
  if (index < 0 || index >= routes_.GetCount()) return;
  TMidiRoute& r = routes_.GetRoute(index);
  if (!r.IsValid()) return;
  r.Invalidate();
  NotifyChange();
}

void TMidiRouter::ClearRoutes() {
  bool changed = false;
  for (const auto& r : routes_.routes_)
    if (r->IsValid()) {
      r->Invalidate();
      changed = true;
    }
  if (changed) NotifyChange();
}

void TMidiRouter::DropDeadRoutes() {
  bool changed = false;
  for (const auto& r : routes_.routes_)
    if (r->IsValid() && (!r->GetIn()->IsDefined() || !r->GetOut()->IsDefined())) {
      r->Invalidate();
      changed = true;
    }
  if (changed) NotifyChange();
}

void TMidiRouter::LoadFromIni(const TCustomIniFile& projectFile, bool append) {
  BeginUpdate();
  if (!append) ClearRoutes();
  for (int n = 0; projectFile.ValueExists(kMidiRoutesSection, NumberedKey("In", n)); ++n) {
    const std::string in = projectFile.ReadString(kMidiRoutesSection, NumberedKey("In", n), "");
    const std::string out = projectFile.ReadString(kMidiRoutesSection, NumberedKey("Out", n), "");
    Append(nullptr, nullptr).SetAliasNames(in, out, aliases_);
  }
  NotifyChange();  // loading always reports once
  EndUpdate();
}

void TMidiRouter::SaveToIni(TCustomIniFile& projectFile) const {
  int n = 0;
  for (const auto& r : routes_.routes_) {
    if (!r->IsValid()) continue;
    projectFile.WriteString(kMidiRoutesSection, NumberedKey("In", n), r->GetInName());
    projectFile.WriteString(kMidiRoutesSection, NumberedKey("Out", n), r->GetOutName());
    ++n;
  }
  DeleteNumberedKeysFrom(projectFile, kMidiRoutesSection, n, {"In", "Out"});
}

TMidiRouter& MidiRouter() {
  // Made after the alias manager, so destroyed before it at process end.
  static TMidiRouter router(MidiAliasManager());
  return router;
}

}  // namespace kv
