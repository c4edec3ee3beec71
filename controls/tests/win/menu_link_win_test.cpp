// The recent-files menu over a real menu and the registry, and the link label, under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/win/registry_ini_file.h"
#include "controls/go_to_web.h"
#include "controls/tests/win/win_test_support.h"
#include "controls/win/history_menu.h"
#include "controls/win/web_label.h"

namespace kv {
namespace {

constexpr const char* kTestRegPath = "Korvanta Tests\\Controls";

void DeleteTestKey() {
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Korvanta Tests");
}

TEST(HistoryMenuWindow, ItemsGoToTheMenuAndTheRegistryAndClicksOpenThem) {
  DeleteTestKey();
  const std::string a = "C:\\windows\\win.ini", b = "C:\\windows\\system.ini";
  ui::TMenuItem file("&File");
  file.Add("&Open...");
  std::string opened;
  {
    THistoryMenu history;
    history.SetMenu(file);
    history.SetRegPath(kTestRegPath);
    history.SetMaxItems(6);
    history.OnClick = [&](const std::string& f) { opened = f; };
    history.AddFile(a);
    history.AddFile(b);
    history.AddFile("C:\\no such folder\\gone.kvp");
    ASSERT_EQ(file.Count(), 4);  // Open, separator, the two files
    EXPECT_TRUE(file.Item(1).IsSeparator());
    EXPECT_EQ(file.Item(2).Caption(), "system.ini");
    EXPECT_EQ(file.Item(2).Hint(), b);
    file.Item(3).Click();
    EXPECT_EQ(opened, a);
    history.SaveItems();
  }
  TRegistryIniFile reg("\\Software\\Korvanta Tests\\Controls", false);
  EXPECT_EQ(reg.ReadString("MRUList", "File0", ""), b);
  EXPECT_EQ(reg.ReadString("MRUList", "File1", ""), a);
  // The next run reads them back in order.
  ui::TMenuItem again("&File");
  THistoryMenu next;
  next.SetMenu(again);
  next.SetRegPath(kTestRegPath);
  ASSERT_EQ(next.ItemCount(), 2);
  EXPECT_EQ(next.Paths()[0], b);
  ui::TMenuItem copy;
  next.CopyTo(copy);
  EXPECT_EQ(copy.Count(), 2);
  DeleteTestKey();
}

TEST(WebLabelWindow, WithoutABrowserTheLinkIsPlainTextAndDoesNothing) {
  SetBrowserSeams(TBrowserSeams{});  // nothing registered
  auto form = test::MakeForm();
  auto& label = form->Add<TZarnWebLabel>(*form, "http:\\\\example.org",
                                         ui::TRect::FromBounds(10, 10, 200, 20));
  EXPECT_EQ(label.Text(), "http:\\\\example.org");
  EXPECT_FALSE(label.OpenLink());
}

TEST(WebLabelWindow, WithABrowserAClickOpensTheAddress) {
  std::string started;
  SetBrowserSeams(test::StandInBrowser(&started));
  auto form = test::MakeForm();
  auto& label = form->Add<TZarnWebLabel>(*form, "http:\\\\example.org\\a",
                                         ui::TRect::FromBounds(10, 10, 200, 20));
  SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(label.ControlId(), STN_CLICKED),
               reinterpret_cast<LPARAM>(label.Handle()));
  EXPECT_EQ(started, "C:\\web\\web.exe http://example.org/a");
  SetBrowserSeams(TBrowserSeams{});
}

}  // namespace
}  // namespace kv
