#include "ui/action.h"

#include <algorithm>

namespace kv::ui {

namespace {
template <class T>
bool Assign(T& field, T value) {
  if (field == value) return false;
  field = std::move(value);
  return true;
}
}  // namespace

void TAction::SetCaption(std::string caption) {
  if (Assign(caption_, std::move(caption))) Changed();
}
void TAction::SetHint(std::string hint) {
  if (Assign(hint_, std::move(hint))) Changed();
}
void TAction::SetShortCut(TShortCut shortCut) {
  if (Assign(shortCut_, shortCut)) Changed();
}
void TAction::SetChecked(bool checked) {
  if (Assign(checked_, checked)) Changed();
}
void TAction::SetEnabled(bool enabled) {
  if (Assign(enabled_, enabled)) Changed();
}
void TAction::SetVisible(bool visible) {
  if (Assign(visible_, visible)) Changed();
}
void TAction::SetImageIndex(int index) {
  if (Assign(imageIndex_, index)) Changed();
}

bool TAction::Execute() {
  Update();
  if (!enabled_ || !OnExecute) return false;
  OnExecute();
  return true;
}

bool TAction::Update() {
  if (!OnUpdate) return false;
  OnUpdate(*this);
  return true;
}

int TAction::AddClient(std::function<void()> changed) {
  int id = nextClientId_++;
  clients_.push_back({id, std::move(changed)});
  return id;
}

void TAction::RemoveClient(int id) {
  std::erase_if(clients_, [id](const Client& c) { return c.id == id; });
}

void TAction::Changed() {
  // A client may unlink itself (or another) while it is told; walk a snapshot of the ids.
  std::vector<int> ids;
  for (const Client& c : clients_) ids.push_back(c.id);
  for (int id : ids) {
    auto it = std::find_if(clients_.begin(), clients_.end(),
                           [id](const Client& c) { return c.id == id; });
    if (it == clients_.end()) continue;
    std::function<void()> changed = it->changed;
    if (changed) changed();
  }
}

TAction& TActionList::Add(std::string caption) {
  actions_.push_back(std::make_unique<TAction>(std::move(caption)));
  return *actions_.back();
}

void TActionList::UpdateAll() {
  for (auto& a : actions_) a->Update();
}

bool TActionList::ExecuteShortCut(TShortCut shortCut) {
  if (shortCut == kScNone) return false;
  for (auto& a : actions_) {
    if (a->ShortCut() == shortCut && a->Visible()) return a->Execute();
  }
  return false;
}

}  // namespace kv::ui
