#pragma once
// Memory a caller may wrongly hand the library: a readable page followed by a page that cannot
// be touched (reserved without access).
#include <cstddef>
#include <cstdint>

namespace kv::vmpl::test {

class TNoAccessPage {
 public:
  static constexpr size_t kPageBytes = 4096;
  TNoAccessPage();
  ~TNoAccessPage();
  TNoAccessPage(const TNoAccessPage&) = delete;
  TNoAccessPage& operator=(const TNoAccessPage&) = delete;

  uint8_t* Readable() const { return base_; }    // kPageBytes of zeroed, writable memory
  void* NoAccess() const { return base_ + kPageBytes; }  // the page right after it

 private:
  uint8_t* base_;
};

}  // namespace kv::vmpl::test
