#include "vmplib/short_message.h"

namespace kv::vmpl {

uint32_t ShortSendLength(uint32_t message) {
  const uint32_t status = message & 0xFF;
  const bool bit15 = (message & 0x8000) != 0;
  const bool bit23 = (message & 0x800000) != 0;
  if (status < 0x80) return 4;
  if (status >= 0xC0 && status <= 0xDF) return bit15 ? 4 : 2;
  if (status == 0xF0) return 4;
  if (status == 0xF1 || status == 0xF3) return 2;
  if (status == 0xF2) return 3;
  if (status >= 0xF4) return 1;
  // 0x80 to 0xBF and 0xE0 to 0xEF: a data byte with its top bit set is passed on whole.
  return bit15 || bit23 ? 4 : 3;
}

uint32_t ShortMessageLength(uint32_t message) {
  const uint32_t status = message & 0xFF;
  if (status < 0x80) return 0;
  if (status < 0xC0) return 3;
  if (status < 0xE0) return 2;
  if (status < 0xF0) return 3;
  switch (status) {
    case 0xF0:
      return 1;
    case 0xF1:
    case 0xF3:
      return 2;
    case 0xF2:
      return 3;
    default:
      return 1;
  }
}

}  // namespace kv::vmpl
