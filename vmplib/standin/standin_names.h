#pragma once
// Where the stand-in bus keeps the display names of port sides: the value "Name" under a key
// path below the local machine. Natively an in-memory store (standin_names_memory.cpp); on
// Windows the registry itself (win/standin_names_registry.cpp), so the library's own registry
// reading is what the tests exercise. Key paths name fresh unique identifiers, so two test
// programs running at once never touch each other's keys.
//
// Lock: the memory store guards its map with its own mutex; the registry is its own lock.
#include <memory>
#include <string>
#include <string_view>

#include "vmplib/bus_system.h"

namespace kv::vmpl {

class TStandInNames {
 public:
  virtual ~TStandInNames() = default;
  virtual void Write(std::u16string_view keyPath, const RegistryValue& value) = 0;
  virtual void Delete(std::u16string_view keyPath) = 0;
  virtual bool Read(std::u16string_view keyPath, RegistryValue& value) = 0;
};

std::unique_ptr<TStandInNames> MakeStandInNames();

// A plain string value (with its terminator) for Write.
RegistryValue StringValue(std::u16string_view text);

}  // namespace kv::vmpl
