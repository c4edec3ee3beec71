#include "base/win/wide.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace kv {
namespace {

TEST(NarrowExact, RefusesWhatTheCodePageCannotHoldAndNamesIt) {
  if (GetACP() != 1252) GTEST_SKIP() << "needs code page 1252";
  std::string out = "kept";
  std::vector<char32_t> unstorable;
  // The e acute and the euro sign are in the code page; the Cyrillic letter, a best-fit
  // look-alike (the Greek alpha would become "a") and a character outside the basic plane
  // are not.
  EXPECT_TRUE(win::NarrowExact(L"Caf\u00e9 \u20ac", out, unstorable));
  EXPECT_EQ(out, "Caf\xe9 \x80");
  EXPECT_TRUE(unstorable.empty());
  out = "kept";
  EXPECT_FALSE(win::NarrowExact(L"A\u0436\u03b1\U0001F600", out, unstorable));
  EXPECT_EQ(out, "kept");
  EXPECT_EQ(unstorable, (std::vector<char32_t>{U'\u0436', U'\u03b1', U'\U0001F600'}));
  std::string error;
  EXPECT_FALSE(win::NarrowChecked(L"x\u0436", out, error, "The alias name"));
  EXPECT_NE(error.find("The alias name holds a character"), std::string::npos);
  EXPECT_NE(error.find("U+0436"), std::string::npos);
}

}  // namespace
}  // namespace kv
