// What the shell's windows decide without a window: the error window's groups, reports from
// other threads reaching the main thread, when the splash continues the start-up, and what the
// other-programs window shows, including from the resources the program ships with.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>

#include "app/shell/error_lines.h"
#include "app/shell/other_programs_presenter.h"
#include "app/shell/other_programs_streams.h"
#include "app/tests/stored_resources.h"
#include "app/shell/splash_flow.h"
#include "base/main_thread.h"
#include "base/texts.h"

namespace kv {
namespace {

using test::ScrambleBytes;
using test::WithChecksum;

TEST(ErrorLines, GroupsSeparateOnlyWhatIsThereAndShowOnlyWhatIsNew) {
  TErrorLines lines;
  lines.StartGroup();  // nothing yet: no separator
  EXPECT_TRUE(lines.Lines().empty());
  EXPECT_FALSE(lines.HasNew());
  lines.Add("ERROR:\r\nPort busy");
  EXPECT_TRUE(lines.HasNew());
  EXPECT_EQ(lines.Lines(), (std::vector<std::string>{"ERROR:", "Port busy"}));

  lines.StartGroup();  // a load that reports nothing new
  EXPECT_EQ(lines.Lines().back(), std::string(26, '-'));
  EXPECT_FALSE(lines.HasNew());
  lines.Add("second\nthird");
  EXPECT_TRUE(lines.HasNew());
  EXPECT_EQ(lines.Lines().size(), 5u);
}

// Reporters hold their own lock while they report (as the MIDI manager's hooks and the timer
// manager's callbacks do); the main thread takes the same lock between serving. A report that
// waited for the main thread would deadlock here; every line must arrive, in each thread's
// order.
TEST(ReportPoster, LinesFromOtherThreadsArePostedInOrderAndNoneIsLost) {
  TMainThreadCalls& calls = TMainThreadCalls::Instance();
  calls.SetMainThread();
  std::vector<std::string> received;  // main thread only
  TReportPoster poster([&](const std::string& line) { received.push_back(line); });
  std::mutex reporterLock;
  constexpr int kThreads = 3, kLines = 400;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < kLines; ++i) {
        std::lock_guard<std::mutex> hold(reporterLock);
        poster.Report(std::to_string(t) + ":" + std::to_string(i));
      }
    });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (received.size() < size_t{kThreads * kLines} &&
         std::chrono::steady_clock::now() < deadline) {
    { std::lock_guard<std::mutex> hold(reporterLock); }
    calls.Serve(5);
  }
  for (std::thread& t : threads) t.join();
  calls.Serve(0);
  ASSERT_EQ(received.size(), size_t{kThreads * kLines});
  std::vector<int> next(kThreads, 0);
  for (const std::string& line : received) {
    const int t = std::stoi(line.substr(0, line.find(':')));
    EXPECT_EQ(std::stoi(line.substr(line.find(':') + 1)), next[t]++);
  }
  // On the main thread itself the line is handled at once.
  poster.Report("main");
  EXPECT_EQ(received.back(), "main");
}

TEST(SplashFlow, OnlyTheStartupSplashContinuesAndOnlyOnce) {
  TSplashFlow startup(false);
  EXPECT_TRUE(startup.TimerWanted());
  EXPECT_TRUE(startup.Hidden(true));   // timer or click
  EXPECT_FALSE(startup.Hidden(true));  // hidden again: nothing more
  EXPECT_FALSE(startup.TimerWanted());

  TSplashFlow about(true);
  EXPECT_FALSE(about.TimerWanted());
  EXPECT_FALSE(about.Hidden(true));

  TSplashFlow early(false);
  EXPECT_FALSE(early.Hidden(false));  // no main form to post to yet

  EXPECT_FALSE(ContinueStartupNow(true, true));  // the splash will post it
  EXPECT_TRUE(ContinueStartupNow(false, true));  // splash off: at once
  EXPECT_FALSE(ContinueStartupNow(false, false));
}

class TMapResources : public TPublicityResources {
 public:
  std::optional<std::string> Named(const std::string& name) override {
    auto it = named.find(name);
    if (it == named.end()) return std::nullopt;
    return it->second;
  }
  std::optional<std::string> Numbered(int32_t id) override {
    auto it = numbered.find(id);
    if (it == numbered.end()) return std::nullopt;
    return it->second;
  }
  std::map<std::string, std::string> named;
  std::map<int32_t, std::string> numbered;
};

std::string ReadShipped(const std::string& name) {
  std::ifstream in(std::string(KV_APP_RES_DIR) + "/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The resources as the build puts them into the program: every entry but the program itself
// loads with its body and a 300 x 50 picture whose checksum matches.
TMapResources ShippedResources() {
  TMapResources r;
  r.named["INDEX"] = ReadShipped("index.bin");
  for (int i = 1; i <= 4; ++i) {
    r.named["DESCR" + std::to_string(i)] = ReadShipped("descr" + std::to_string(i) + ".txt");
    r.numbered[i] = ReadShipped("picture" + std::to_string(i) + ".bin");
  }
  return r;
}

int32_t Le32(const std::string& bytes, size_t at) {
  int32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v * 256 + static_cast<uint8_t>(bytes[at + i]);
  return v;
}

TEST(PublicityPresenter, TheShippedResourcesShowEachCompanionOnceBeforeRepeating) {
  TMapResources resources = ShippedResources();
  ASSERT_FALSE(resources.named["INDEX"].empty()) << KV_APP_RES_DIR;
  int draw = 0;
  TPublicityPresenter presenter(resources, kDefaultProgramTitle,
                                [&](int n) { return (draw++ * 7) % n; });
  std::multiset<std::string> seen;
  for (int i = 0; i < 6; ++i) {
    TPublicityView view;
    std::string error;
    ASSERT_TRUE(presenter.Next(view, error)) << error;
    seen.insert(view.name);
    EXPECT_FALSE(view.body.empty());
    EXPECT_EQ(view.link.rfind("https://", 0), 0u);
    EXPECT_EQ(Le32(view.picture, 18), 300);
    EXPECT_EQ(Le32(view.picture, 22), 50);
  }
  EXPECT_EQ(seen, (std::multiset<std::string>{"certprep", "certprep", "hubsetup", "hubsetup",
                                               "vmplib", "vmplib"}));
}

TEST(PublicityPresenter, UnreadableResourcesAreErrorsNotExceptions) {
  TPublicityView view;
  std::string error;
  auto first = [](int) { return 0; };

  // A picture with one byte changed.
  TMapResources broken = ShippedResources();
  for (auto& [id, bytes] : broken.numbered) bytes[100] = static_cast<char>(bytes[100] ^ 0x5A);
  TPublicityPresenter brokenPresenter(broken, kDefaultProgramTitle, first);
  EXPECT_FALSE(brokenPresenter.Next(view, error));
  EXPECT_EQ(error.rfind("Resource ", 0), 0u);
  EXPECT_NE(error.find(" not valid"), std::string::npos);

  // An index whose only entry is the program itself leaves nothing to show.
  TMapResources alone;
  const std::string index = std::string(kDefaultProgramTitle) + "\r\nhttps://x\r\n1\r\n1\r\n";
  alone.named["INDEX"] = WithChecksum(ScrambleBytes(index));
  TPublicityPresenter alonePresenter(alone, kDefaultProgramTitle, first);
  error.clear();
  EXPECT_FALSE(alonePresenter.Next(view, error));
  EXPECT_FALSE(error.empty());

  // A picture whose header claims an impossible size.
  TMapResources huge = ShippedResources();
  for (auto& [id, stored] : huge.numbered) {
    std::string bmp = stored.substr(0, stored.size() - 4);
    bmp[21] = 0x7F;  // width far beyond any picture
    stored = WithChecksum(bmp);
  }
  TPublicityPresenter hugePresenter(huge, kDefaultProgramTitle, first);
  error.clear();
  EXPECT_FALSE(hugePresenter.Next(view, error));
  EXPECT_EQ(error, "Picture has impossible sizes");
}

}  // namespace
}  // namespace kv
