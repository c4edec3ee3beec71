#pragma once
// TSharedPortList: a default port list (of a preset or of the project) that threads other
// than the owner's read as an immutable snapshot. A change builds a new list and swaps it in,
// so a snapshot never changes under its reader, and a queued action can keep the one its
// event saw without copying a list on the queue path.
//
// Lock: mutex_ guards the pointer only; it is a leaf lock, held to copy or swap the pointer,
// never while a list is built or freed. Current() takes no lock: it is for the owner's thread
// (which alone swaps) and for a reader that holds the owner's lock that every swap also holds
// (a preset's read lock).
#include <cstdint>
#include <memory>
#include <mutex>
#include <string_view>

#include "midi/model/alias.h"

namespace kv {

class TSharedPortList {
 public:
  TSharedPortList();

  // Any thread: the list as it is now, never null; it stays as it is while it is held.
  std::shared_ptr<const TMidiAliasList> Snapshot() const;
  // The owner's thread, or a reader under the owner's lock (see above).
  const TMidiAliasList& Current() const { return *list_; }
  bool IsEmpty() const { return Current().IsEmpty(); }

  // The owner's thread. Becomes a copy of the list (none: empty); false when it already held
  // the same aliases.
  bool Set(const TMidiAliasList* list);
  void Clear();
  // Reads a MIDA block (TMidiAliasList::LoadFromData at the text's start). A malformed block
  // throws kv::Exception; the entries read before the fault are kept, as the list keeps them.
  void LoadFromData(std::string_view text, uint8_t kind);

 private:
  void Replace(std::shared_ptr<const TMidiAliasList> list);

  mutable std::mutex mutex_;  // guards list_
  std::shared_ptr<const TMidiAliasList> list_;
};

}  // namespace kv
