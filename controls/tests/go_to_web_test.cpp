#include "controls/go_to_web.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace kv {
namespace {

TEST(GoToWeb, CommandsAreSplitAtTheProgramsExtension) {
  auto c = ParseBrowserCommand("\"C:\\Program Files\\Web\\web.exe\" -nohome \"%1\"");
  ASSERT_TRUE(c);
  EXPECT_EQ(c->path, "C:\\Program Files\\Web\\web.exe");
  EXPECT_EQ(c->format, "-nohome \"%s");
  c = ParseBrowserCommand("C:\\tools\\open.BaT");
  ASSERT_TRUE(c);
  EXPECT_EQ(c->path, "C:\\tools\\open.BaT");
  EXPECT_EQ(c->format, " %s");  // the address becomes the last argument
  c = ParseBrowserCommand("c:\\x\\view.com -u %1");
  ASSERT_TRUE(c);
  EXPECT_EQ(c->format, "-u %s");
  EXPECT_FALSE(ParseBrowserCommand("rundll32 url.dll,FileProtocolHandler %1"));
}

TEST(GoToWeb, AddressesAreFilledInAsPlainText) {
  EXPECT_EQ(FillBrowserParameters("-u %s", "http://x/?a=%d%s%n"), "-u http://x/?a=%d%s%n");
  EXPECT_EQ(FillBrowserParameters("%n %s %x", "a"), "%n a %x");
  EXPECT_EQ(FillBrowserParameters("none", "a"), "none");
}

struct FakeSystem {
  std::map<std::string, std::string> keys;
  std::string startedProgram, startedParams;
  bool exists = true;
  TBrowserSeams Seams() {
    TBrowserSeams s;
    s.readClassDefault = [this](const std::string& k) -> std::optional<std::string> {
      auto it = keys.find(k);
      if (it == keys.end()) return std::nullopt;
      return it->second;
    };
    s.fileExists = [this](const std::string&) { return exists; };
    s.start = [this](const std::string& p, const std::string& a) {
      startedProgram = p;
      startedParams = a;
      return true;
    };
    return s;
  }
};

TEST(GoToWeb, SearchFollowsTheClassNamedByHttpFirst) {
  FakeSystem sys;
  sys.keys["http"] = "WebFile";
  sys.keys["WebFile\\shell\\open\\command"] = "\"C:\\w\\web.exe\" %1";
  sys.keys["http\\shell\\open\\command"] = "C:\\other.exe %1";
  auto c = FindBrowserCommand(sys.Seams());
  ASSERT_TRUE(c);
  EXPECT_EQ(c->path, "C:\\w\\web.exe");
  sys.keys.erase("WebFile\\shell\\open\\command");
  c = FindBrowserCommand(sys.Seams());
  ASSERT_TRUE(c);
  EXPECT_EQ(c->path, "C:\\other.exe");
  sys.keys.clear();
  sys.keys[".html"] = "";
  sys.keys[".html\\shell\\open\\command"] = "C:\\h.exe";
  c = FindBrowserCommand(sys.Seams());
  ASSERT_TRUE(c);
  EXPECT_EQ(c->path, "C:\\h.exe");
  // The first command found ends the search even when it names no program.
  sys.keys["http"] = "";
  sys.keys["http\\shell\\open\\command"] = "rundll32 %1";
  EXPECT_FALSE(FindBrowserCommand(sys.Seams()));
}

TEST(GoToWeb, OpeningUsesForwardSlashesAndNeedsABrowser) {
  FakeSystem sys;
  sys.keys["http"] = "";
  sys.keys["http\\shell\\open\\command"] = "C:\\w\\web.exe -url \"%1\"";
  SetBrowserSeams(sys.Seams());
  EXPECT_TRUE(TGoToWeb::BrowserAvailable());
  TGoToWeb web;
  web.Url = "http:\\\\example.org\\a%20b";
  EXPECT_TRUE(web.OpenUrl());
  EXPECT_EQ(sys.startedProgram, "C:\\w\\web.exe");
  EXPECT_EQ(sys.startedParams, "-url \"http://example.org/a%20b");
  sys.exists = false;  // the registered program was removed
  EXPECT_FALSE(TGoToWeb::OpenAddress("http://x"));
  FakeSystem none;
  SetBrowserSeams(none.Seams());
  EXPECT_FALSE(TGoToWeb::BrowserAvailable());
  EXPECT_FALSE(TGoToWeb::OpenAddress("http://x"));
  EXPECT_TRUE(none.startedProgram.empty());
}

}  // namespace
}  // namespace kv
