#pragma once
// The program's key table: for each virtual key of a US layout its scan code, whether it is an
// extended key, and the name the program gives it when the system has none. Key naming falls
// back on it, and the key system's stand-in answers its layout questions from it.
//
// Thread: constant data, read from any thread.
#include <cstdint>

namespace kv {

// One row of the key table: 256 virtual keys and, in row 256, the extra "Num Enter".
struct TKeyTableRow {
  int16_t virtualKey;
  int16_t scanCode;
  int32_t extended;
  const char* name;
};
inline constexpr int kKeyTableRows = 257;
inline constexpr int kNumEnterRow = 256;
// Row i of the key table; nullptr for an index outside 0..256.
const TKeyTableRow* KeyTableRow(int index);

}  // namespace kv
