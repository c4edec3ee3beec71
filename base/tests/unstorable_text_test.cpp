#include "base/unstorable_text.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(UnstorableTextMessage, NamesEachCharacterOnceByCodePoint) {
  EXPECT_EQ(CodePointName(U'\u0436'), "U+0436");
  EXPECT_EQ(CodePointName(U'\U0001F600'), "U+1F600");
  const std::string one = UnstorableTextMessage({U'\u0436', U'\u0436'}, "The alias name");
  EXPECT_EQ(one,
            "The alias name holds a character that this computer's code page cannot hold: "
            "U+0436.\r\nThe project and settings files cannot store it. Please use other "
            "characters.");
  const std::string several = UnstorableTextMessage({U'\u0436', U'\u20AC', U'\u0436'});
  EXPECT_NE(several.find("This text holds characters"), std::string::npos);
  EXPECT_NE(several.find(": U+0436, U+20AC."), std::string::npos);
  EXPECT_NE(several.find("store them."), std::string::npos);
}

}  // namespace
}  // namespace kv
