#include "ui/guard.h"

#include <gtest/gtest.h>

#include "base/exception.h"

namespace kv::ui {
namespace {

TEST(GuardTest, ExceptionsReachTheHandlerAndNeverEscape) {
  std::vector<std::string> seen;
  TExceptionHandler old = SetExceptionHandler([&](const std::string& m) { seen.push_back(m); });
  EXPECT_EQ(Guarded(7, []() -> int { throw Exception("bad file"); }), 7);
  Guarded([] { throw 42; });
  EXPECT_EQ(Guarded(0, [] { return 3; }), 3);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], "bad file");
  EXPECT_EQ(seen[1], "Unknown exception");
  // A handler that throws itself is contained as well.
  SetExceptionHandler([](const std::string&) { throw std::runtime_error("again"); });
  Guarded([] { throw Exception("x"); });
  SetExceptionHandler(std::move(old));
}

}  // namespace
}  // namespace kv::ui
