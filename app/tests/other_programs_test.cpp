// The checksum and scrambling streams, and the presentation's index, descriptions, pictures and
// order as the program reads them from its resources.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "app/shell/other_programs.h"
#include "app/shell/other_programs_streams.h"
#include "app/tests/stored_resources.h"
#include "base/exception.h"

namespace kv {
namespace {

using test::ScrambleBytes;
using test::WithChecksum;

TEST(PublicityStreams, ChecksumAndScramblingRoundTrip) {
  std::string data;
  for (int i = 0; i < 700; ++i) data += static_cast<char>(i * 7);
  // Reading the stored form back through both filters gives the data and a matching checksum.
  TMemoryStream stored(WithChecksum(ScrambleBytes(data)));
  TCRCReadStream crc(stored);
  TScrambledStream plain(crc);
  EXPECT_EQ(plain.Size(), 700);
  std::string back(700, '\0');
  EXPECT_EQ(plain.Read(back.data(), 300), 300u);
  EXPECT_EQ(plain.Read(back.data() + 300, 1000), 400u);
  EXPECT_EQ(back, data);
  EXPECT_TRUE(crc.ChecksumMatches());
  // Another read at the end neither fails nor takes the checksum a second time.
  char more[8];
  EXPECT_EQ(plain.Read(more, sizeof more), 0u);
  EXPECT_TRUE(crc.ChecksumMatches());

  // A write through the scrambler leaves the caller's bytes alone.
  TMemoryStream out;
  TScrambledStream scrambler(out);
  std::string bytes = "abc";
  scrambler.Write(bytes.data(), bytes.size());
  EXPECT_EQ(bytes, "abc");
  EXPECT_EQ(out.Bytes(), ScrambleBytes("abc"));
}

TEST(PublicityStreams, SeekingCountsEveryBytePassedAndBackResets) {
  const std::string data = "0123456789abcdefghij";
  TMemoryStream stored(WithChecksum(data));
  TCRCReadStream crc(stored);
  EXPECT_EQ(crc.Seek(15, TSeekOrigin::Beginning), 15);
  EXPECT_EQ(crc.Checksum(), AddToChecksum(0, reinterpret_cast<const uint8_t*>(data.data()), 15, 0));
  EXPECT_EQ(crc.Seek(5, TSeekOrigin::Beginning), 5);  // back: starts over from 0
  EXPECT_EQ(crc.Checksum(), AddToChecksum(0, reinterpret_cast<const uint8_t*>(data.data()), 5, 0));
  char rest[32];
  EXPECT_EQ(crc.Read(rest, sizeof rest), 15u);
  EXPECT_TRUE(crc.ChecksumMatches());

  TMemoryStream shortChecksum("ab");  // not even the checksum
  TCRCReadStream broken(shortChecksum);
  EXPECT_THROW(
      {
        char all[64];
        broken.Read(all, sizeof all);
      },
      Exception);
}

class TMapResources final : public TPublicityResources {
 public:
  std::optional<std::string> Named(const std::string& name) override {
    const auto it = named.find(name);
    return it == named.end() ? std::nullopt : std::optional<std::string>(it->second);
  }
  std::optional<std::string> Numbered(int32_t id) override {
    const auto it = numbered.find(id);
    return it == numbered.end() ? std::nullopt : std::optional<std::string>(it->second);
  }
  void Index(const std::string& text) { named["INDEX"] = WithChecksum(ScrambleBytes(text)); }
  std::map<std::string, std::string> named;
  std::map<int32_t, std::string> numbered;
};

std::string Bitmap(int width, int height) {
  const int stride = (width * 24 + 31) / 32 * 4;
  std::string b(54 + static_cast<size_t>(stride * height), '\0');
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<char>(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, static_cast<uint32_t>(b.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  b[26] = 1;
  b[28] = 24;
  return b;
}

TEST(Publicity, IndexLinesCommentsAndOwnEntry) {
  TMapResources res;
  res.Index(
      "// entries\r\n\r\nHub Setup\r\nhttps://example.invalid/hub\r\n1\r\n101\r\n"
      "//\r\nhttps://example.invalid/x\r\n2\r\n102\r\n"
      "ZARN'S KORVANTA PRO\r\nhttps://example.invalid/me\r\n3\r\n103\n");
  TPublicities list(res, "Zarn's Korvanta Pro");
  ASSERT_EQ(list.Count(), 2);  // the program's own entry is left out
  EXPECT_EQ(list.GetEntry(0).Name(), "Hub Setup");
  EXPECT_EQ(list.GetEntry(1).Name(), "//");  // two characters: not a comment
  EXPECT_EQ(list.GetEntry(1).PictureNumber(), 102);

  res.Index("a\r\nb\r\n1\r\n2\r\nc\r\nd\r\n3\r\n");
  try {
    TPublicities bad(res, "x");
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Incorrect number of lines in resources");
  }
  res.named["INDEX"][3] ^= 1;  // one byte changed
  EXPECT_THROW(TPublicities(res, "x"), Exception);
  res.Index("// only a comment\r\n");
  try {
    TPublicities none(res, "x");
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Unsufficient lines in resources");
  }
}

TEST(Publicity, DescriptionsAndPictures) {
  TMapResources res;
  res.Index("One\r\nlink\r\n5\r\n7\r\nTwo\r\nlink2\r\n6\r\n8\r\n");
  res.named["DESCR5"] = "One\r\n - \r\nFirst body line\r\nSecond\r\n";
  res.named["DESCR6"] = "-\r\nbody\r\n";
  res.numbered[7] = WithChecksum(Bitmap(300, 50));
  std::string damaged = WithChecksum(Bitmap(300, 50));
  damaged[100] ^= 0x10;
  res.numbered[8] = damaged;
  TPublicities list(res, "x");
  EXPECT_EQ(list.GetEntry(0).GetBody(), (std::vector<std::string>{"First body line", "Second"}));
  EXPECT_EQ(list.GetEntry(0).LoadPicture().size(), Bitmap(300, 50).size());
  try {
    list.GetEntry(1).GetBody();
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Separator is missing in Description for Two");
  }
  try {
    list.GetEntry(1).LoadPicture();
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Resource 8 not valid");
  }
  // A header that claims more than the file holds is refused before anything trusts it.
  std::string huge = Bitmap(300, 50);
  huge[22] = static_cast<char>(0x10);
  huge[23] = static_cast<char>(0x27);  // 10000 rows
  res.numbered[7] = WithChecksum(huge);
  TPublicities again(res, "x");
  EXPECT_THROW(again.GetEntry(0).LoadPicture(), Exception);
}

TEST(Publicity, OrderShowsEachEntryOnceBeforeRepeating) {
  uint32_t seed = 12345;
  TPublicityOrder order([&](int n) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 16) % static_cast<uint32_t>(n));
  });
  std::vector<int> shown;
  for (int i = 0; i < 6; ++i) shown.push_back(order.Next(3));
  EXPECT_EQ(std::set<int>(shown.begin(), shown.begin() + 3), (std::set<int>{0, 1, 2}));
  EXPECT_EQ(std::vector<int>(shown.begin() + 3, shown.end()),
            std::vector<int>(shown.begin(), shown.begin() + 3));
  EXPECT_THROW(order.Next(0), Exception);
}

}  // namespace
}  // namespace kv
