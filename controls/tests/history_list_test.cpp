#include "controls/history_list.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "base/text.h"

namespace kv {
namespace {

// A File menu as captions; list items are marked with their path as hint.
struct FakeMenu : TDynamicMenuHost {
  struct Item {
    std::string caption, hint;
    bool enabled = true;
  };
  std::vector<Item> items;
  int Count() const override { return static_cast<int>(items.size()); }
  std::string Caption(int i) const override { return items.at(static_cast<size_t>(i)).caption; }
  bool Enabled(int i) const override { return items.at(static_cast<size_t>(i)).enabled; }
  void InsertListItem(int i, const std::string& caption, const std::string& path) override {
    items.insert(items.begin() + i, Item{caption, path, true});
  }
  void AddPlain(const std::string& caption, bool enabled) override {
    items.push_back(Item{caption, "", enabled});
  }
  void Delete(int i) override { items.erase(items.begin() + i); }
  std::vector<std::string> Captions() const {
    std::vector<std::string> out;
    for (const auto& it : items) out.push_back(it.caption);
    return out;
  }
};

// Forwards to one store that outlives each open.
class StoreProxy : public TCustomIniFile {
 public:
  explicit StoreProxy(TMemIniFile& s) : s_(s) {}
  std::string ReadString(std::string_view a, std::string_view b,
                         std::string_view d) const override {
    return s_.ReadString(a, b, d);
  }
  void WriteString(std::string_view a, std::string_view b, std::string_view v) override {
    s_.WriteString(a, b, v);
  }
  std::vector<std::string> ReadSections() const override { return s_.ReadSections(); }
  std::vector<std::string> ReadSection(std::string_view a) const override {
    return s_.ReadSection(a);
  }
  bool SectionExists(std::string_view a) const override { return s_.SectionExists(a); }
  bool ValueExists(std::string_view a, std::string_view b) const override {
    return s_.ValueExists(a, b);
  }
  void EraseSection(std::string_view a) override { s_.EraseSection(a); }
  void DeleteKey(std::string_view a, std::string_view b) override { s_.DeleteKey(a, b); }
  void UpdateFile() override {}

 private:
  TMemIniFile& s_;
};

struct Fixture {
  FakeMenu menu;
  TMemIniFile store;
  std::set<std::string> existing{"C:\\p\\A.kvp", "C:\\p\\B.kvp", "C:\\p\\C.kvp", "C:\\p\\D.kvp",
                                 "C:\\p\\E.kvp", "C:\\p\\F.kvp", "C:\\p\\G.kvp"};
  std::vector<std::string> opened;
  int opens = 0;

  void Setup(THistoryList& h) {
    // Like the Windows file system: letter case does not matter.
    h.SetExistsTest([this](const std::string& p, bool) {
      for (const auto& e : existing) {
        if (SameText(e, p)) return true;
      }
      return false;
    });
    h.SetStoreFactory([this](const std::string& path, bool) -> std::unique_ptr<TCustomIniFile> {
      ++opens;
      EXPECT_EQ(path, "\\Software\\Zarn\\Korvanta");
      return std::make_unique<StoreProxy>(store);
    });
    h.OnClick = [this](const std::string& f) { opened.push_back(f); };
  }
};

TEST(HistoryList, MostRecentFirstAndReusedItemsMoveUp) {
  Fixture f;
  f.menu.AddPlain("&Open", true);
  f.menu.AddPlain("-", true);  // a trailing separator goes when the menu is given
  THistoryList h;
  f.Setup(h);
  h.SetBaseMenu(&f.menu);
  EXPECT_EQ(f.menu.Captions(), (std::vector<std::string>{"&Open"}));
  h.SetRegPath("Zarn\\Korvanta");
  h.AddFile("C:\\p\\A.kvp");
  EXPECT_EQ(f.menu.Captions(), (std::vector<std::string>{"&Open", "-", "A.kvp"}));
  h.AddFile("C:\\p\\B.kvp");
  h.AddFile("C:\\p\\C.kvp");
  h.AddFile("c:\\P\\a.KVP");  // the same file in other letter case
  EXPECT_EQ(f.menu.Captions(), (std::vector<std::string>{"&Open", "-", "a.KVP", "C.kvp", "B.kvp"}));
  EXPECT_EQ(h.ItemCount(), 3);
  h.Click(1);
  EXPECT_EQ(f.opened, std::vector<std::string>{"C:\\p\\C.kvp"});
  f.store.WriteString("MRUList", "File3", "stale");
  h.SaveItems();
  EXPECT_EQ(f.store.ReadString("MRUList", "File0", ""), "c:\\P\\a.KVP");
  EXPECT_EQ(f.store.ReadString("MRUList", "File2", ""), "C:\\p\\B.kvp");
  EXPECT_FALSE(f.store.ValueExists("MRUList", "File3"));
}

TEST(HistoryList, ReusingTheOnlyItemKeepsOneSeparator) {
  Fixture f;
  f.menu.AddPlain("&Open", true);
  THistoryList h;
  f.Setup(h);
  h.SetBaseMenu(&f.menu);
  h.AddFile("C:\\p\\A.kvp");
  h.AddFile("C:\\p\\A.kvp");
  EXPECT_EQ(f.menu.Captions(), (std::vector<std::string>{"&Open", "-", "A.kvp"}));
}

TEST(HistoryList, MaxItemsPushesTheOldestOut) {
  Fixture f;
  THistoryList h;
  f.Setup(h);
  h.SetBaseMenu(&f.menu);
  EXPECT_EQ(f.menu.Captions(), (std::vector<std::string>{"(none)"}));
  h.SetMaxItems(6);
  for (char c = 'A'; c <= 'G'; ++c) h.AddFile(std::string("C:\\p\\") + c + ".kvp");
  EXPECT_EQ(h.ItemCount(), 6);
  EXPECT_EQ(h.Paths().front(), "C:\\p\\G.kvp");
  EXPECT_EQ(h.Paths().back(), "C:\\p\\B.kvp");
  // The placeholder went with the first item; an empty menu gets no separator.
  EXPECT_EQ(f.menu.Caption(0), "G.kvp");
  h.SetMaxItems(2);
  EXPECT_EQ(h.ItemCount(), 2);
  h.SetMaxItems(0);
  EXPECT_EQ(h.MaxItems(), 2);
  h.RemoveItem(0);
  h.RemoveItem(0);
  EXPECT_EQ(f.menu.Captions(), (std::vector<std::string>{"(none)"}));
  h.AddFile("C:\\p\\missing.kvp");
  EXPECT_EQ(h.ItemCount(), 0);
}

TEST(HistoryList, LoadSkipsVanishedFilesAndReadsOnce) {
  Fixture f;
  f.store.WriteString("MRUList", "File0", "C:\\p\\B.kvp");
  f.store.WriteString("MRUList", "File1", "C:\\p\\gone.kvp");
  f.store.WriteString("MRUList", "File2", "C:\\p\\A.kvp");
  f.menu.AddPlain("E&xit", true);
  THistoryList h;
  f.Setup(h);
  h.SetBaseMenu(&f.menu);
  h.SetRegPath("Zarn\\Korvanta");
  EXPECT_EQ(h.Paths(), (std::vector<std::string>{"C:\\p\\B.kvp", "C:\\p\\A.kvp"}));
  h.SetRegPath("Zarn\\Korvanta");
  EXPECT_EQ(f.opens, 1);
  h.SaveItems();
  EXPECT_FALSE(f.store.ValueExists("MRUList", "File2"));
}

TEST(HistoryList, DefaultRegPathNeverReadsOrWrites) {
  Fixture f;
  f.store.WriteString("MRUList", "File0", "C:\\p\\A.kvp");
  THistoryList h;
  f.Setup(h);
  h.SetBaseMenu(&f.menu);
  h.AddFile("C:\\p\\B.kvp");
  h.SaveItems();
  EXPECT_EQ(f.opens, 0);
  EXPECT_EQ(h.ItemCount(), 1);
}

TEST(HistoryList, FoldersLoseTheirTrailingBackslash) {
  Fixture f;
  THistoryList h;
  h.SetDirectories(true);
  h.SetExistsTest([](const std::string&, bool dir) { return dir; });
  h.SetBaseMenu(&f.menu);
  h.AddFile("C:\\data\\");
  h.AddFile("D:\\");
  EXPECT_EQ(h.Paths(), (std::vector<std::string>{"D:\\", "C:\\data"}));
}

}  // namespace
}  // namespace kv
