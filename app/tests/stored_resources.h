#pragma once
// The stored forms of the "PUBLICITY" resources, as the build's script writes them: scrambled
// (when asked) and followed by the checksum of what precedes it. Tests make their resources
// with these.
#include <string>

#include "app/shell/other_programs_streams.h"

namespace kv::test {

inline std::string ScrambleBytes(std::string bytes) {
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(bytes[i] ^ (i & 0xFF));
  return bytes;
}

inline std::string WithChecksum(const std::string& bytes) {
  const uint32_t sum =
      AddToChecksum(0, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), 0);
  std::string out = bytes;
  for (int i = 0; i < 4; ++i) out += static_cast<char>((sum >> (8 * i)) & 0xFF);
  return out;
}

}  // namespace kv::test
