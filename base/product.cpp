#include "base/product.h"

#include <utility>

namespace kv {
namespace {

std::u16string gVirtualPortNameBase;  // main thread only

}  // namespace

void SetVirtualPortNameBase(std::u16string base) {
  gVirtualPortNameBase = std::move(base);
}

const std::u16string& VirtualPortNameBase() {
  return gVirtualPortNameBase;
}

}  // namespace kv
