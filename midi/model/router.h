#pragma once
// The MIDI router: the project's MIDI-through routes from input aliases to output aliases.
//
// Lifecycle: the process-wide router (MidiRouter) is created on first use and lives until the
// process ends. Routes are never removed while it lives: deleting one clears its input alias,
// so TMidiRoute* held by the router page stay valid.
//
// Threads: routes change and are read on the main thread only. The MIDI manager derives its
// per-input output lists from them there; MIDI callback threads read only those lists.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "midi/model/alias.h"

namespace kv {

class TCustomIniFile;
class TMidiRouter;

inline constexpr const char* kMidiRoutesSection = "MIDI.routes";

class TMidiRoute {
 public:
  TMidiRoute(TMidiAlias* in, TMidiAlias* out, int routesAtCreation)
      : in_(in), out_(out), routesAtCreation_(routesAtCreation) {}

  TMidiAlias* GetIn() const { return in_; }
  TMidiAlias* GetOut() const { return out_; }
  int RoutesAtCreation() const { return routesAtCreation_; }
  bool IsValid() const { return in_ && out_; }
  std::string GetInName() const { return in_ ? in_->GetName() : std::string(); }
  std::string GetOutName() const { return out_ ? out_->GetName() : std::string(); }

  // Binds both aliases by name (missing ones are created unbound) when both names are
  // valid alias names; otherwise the route becomes invalid.
  void SetAliasNames(std::string_view inName, std::string_view outName, TMidiAliasManager& aliases);

 private:
  friend class TMidiRouter;
  void Set(TMidiAlias* in, TMidiAlias* out) {
    in_ = in;
    out_ = out;
  }
  void Invalidate() { in_ = nullptr; }

  TMidiAlias* in_;   // a MIDI IN alias, or none
  TMidiAlias* out_;  // a MIDI OUT alias, or none
  int routesAtCreation_;
};

class TMidiRoutes {
 public:
  int GetCount() const { return static_cast<int>(routes_.size()); }
  // The index must lie inside the list.
  TMidiRoute& GetRoute(int index) const { return *routes_.at(static_cast<size_t>(index)); }
  int IndexOf(const TMidiRoute* route) const;
  // The output alias of every valid route whose input alias sits in that device slot, each
  // output once, in route order. A negative slot lists nothing.
  void GetOutputsOf(int32_t slotIndex, TMidiAliasList& list) const;

 private:
  friend class TMidiRouter;
  std::vector<std::unique_ptr<TMidiRoute>> routes_;  // owned; never shrinks
};

class TMidiRouter {
 public:
  using TListener = TChangeMethod<TMidiRouter>;

  // Registers DropDeadRoutes with the alias manager for the router's whole life.
  explicit TMidiRouter(TMidiAliasManager& aliases);
  ~TMidiRouter();
  TMidiRouter(const TMidiRouter&) = delete;
  TMidiRouter& operator=(const TMidiRouter&) = delete;

  const TMidiRoutes& GetRoutes() const { return routes_; }
  TMidiAliasManager& Aliases() const { return aliases_; }

  int AddRoute(TMidiAlias* in, TMidiAlias* out);
  int AddRouteByNames(std::string_view inName, std::string_view outName);
  // No route: adds one by the aliases' names. Otherwise rebinds both when either differs.
  void ChangeRoute(TMidiRoute* route, TMidiAlias* in, TMidiAlias* out);
  void DeleteRoute(int index);
  void ClearRoutes();
  // Invalidates every valid route whose input or output alias is no longer defined.
  void DropDeadRoutes();

  void AddChangeListener(TListener listener) { notifier_.AddListener(listener); }
  void RemoveChangeListener(TListener listener) { notifier_.RemoveListener(listener); }
  void BeginUpdate() { notifier_.BeginUpdate(); }
  void EndUpdate() { notifier_.EndUpdate(); }
  void NotifyChange() { notifier_.Notify(); }

  // Section MIDI.routes of a project file. Appending a project adds its routes to the
  // present ones instead of replacing them.
  void LoadFromIni(const TCustomIniFile& projectFile, bool append = false);
  void SaveToIni(TCustomIniFile& projectFile) const;

 private:
  static void AliasesChanged(void* router, TMidiAliasManager& sender);
  TMidiRoute& Append(TMidiAlias* in, TMidiAlias* out);

  TMidiAliasManager& aliases_;
  TMidiRoutes routes_;  // main thread only
  TChangeNotifier<TMidiRouter> notifier_{*this};
};

// The process-wide router, created on first use over the process-wide alias manager.
TMidiRouter& MidiRouter();

}  // namespace kv
