// What a user waits for when a long translator list appears: the milliseconds from handing the
// rows to the list until it has painted them, for the owner-data list (one row count, texts
// asked for as rows are drawn) and, to compare, for a list filled row by row as a normal list
// is. Prints the figures; the time is never a pass or fail (machines and displays differ).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ui/application.h"
#include "ui/form.h"
#include "ui/list_view.h"

namespace kv::ui {
namespace {

class TStopwatch {
 public:
  TStopwatch() {
    QueryPerformanceFrequency(&frequency_);
    QueryPerformanceCounter(&start_);
  }
  double Ms() const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) /
           static_cast<double>(frequency_.QuadPart);
  }

 private:
  LARGE_INTEGER frequency_{}, start_{};
};

// Translator-like rows: a name, the row number, two descriptions and the options.
struct TRows {
  std::vector<std::string> cells[5];
  std::vector<bool> active;
  explicit TRows(int count) {
    for (int row = 0; row < count; ++row) {
      const std::string n = std::to_string(row);
      cells[0].push_back("Translator " + n);
      cells[1].push_back(n);
      cells[2].push_back("MIDI: Note On, channel 1, note " + std::to_string(row % 128));
      cells[3].push_back("Keystroke: Ctrl+Shift+" + std::string(1, static_cast<char>('A' + row % 26)));
      cells[4].push_back(row % 3 ? "stop" : "");
      active.push_back(row % 2 == 0);
    }
  }
  int Count() const { return static_cast<int>(active.size()); }
};

// A first small list pays the one-time costs (fonts, the list class's first paint) unreported.
constexpr int kWarmUpRows = 64;
constexpr int kRowCounts[] = {kWarmUpRows, 4096, 8192};

class ListFillTiming : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Application().Initialize(); }
  ListFillTiming() {
    TFormParams params;
    params.caption = "List fill timing";
    params.bounds = TRect::FromBounds(40, 40, 840, 640);
    form = std::make_unique<TForm>(params);
  }

  TListView& MakeList(const TRows* owner) {
    TListViewOptions o;
    o.checkBoxes = o.multiSelect = o.editLabels = true;
    TListView& list = form->Add<TListView>();
    if (owner) {
      list.SetOwnerData([owner](int row, int column) { return owner->cells[column][row]; },
                        [owner](int row) { return static_cast<bool>(owner->active[row]); });
    }
    list.Create(*form, TRect::FromBounds(0, 0, 780, 560), o);
    for (int width : {150, 30, 165, 165, 200}) list.AddColumn("Column", width);
    form->Show();
    UpdateWindow(form->Handle());
    return list;
  }

  static void Report(const char* mode, int rows, double ms) {
    if (rows == kWarmUpRows) return;
    std::printf("[ timing ] %-30s %5d rows: %8.1f ms to the first full paint\n", mode, rows, ms);
    std::fflush(stdout);
    ::testing::Test::RecordProperty(std::string(mode) + " " + std::to_string(rows) + " ms",
                                    std::to_string(static_cast<int>(ms)));
  }

  std::unique_ptr<TForm> form;
};

TEST_F(ListFillTiming, OwnerDataRowsAppearInOneStep) {
  for (int count : kRowCounts) {
    TRows rows(count);
    TListView& list = MakeList(&rows);
    TStopwatch watch;
    list.SetRowCount(rows.Count());
    UpdateWindow(list.Handle());
    Report("owner data", count, watch.Ms());
    EXPECT_EQ(list.Count(), count);
    EXPECT_EQ(list.ItemText(count - 1, 2), rows.cells[2].back());
    form->Free(list);
  }
}

TEST_F(ListFillTiming, RowByRowFillingForComparison) {
  for (int count : kRowCounts) {
    TRows rows(count);
    TListView& list = MakeList(nullptr);
    TStopwatch watch;
    list.BeginUpdate();
    for (int row = 0; row < count; ++row) {
      list.AddItem(rows.cells[0][row]);
      for (int column = 1; column < 5; ++column) list.SetItemText(row, column, rows.cells[column][row]);
      list.SetChecked(row, rows.active[row]);
    }
    list.EndUpdate();
    UpdateWindow(list.Handle());
    Report("row by row (normal list)", count, watch.Ms());
    EXPECT_EQ(list.Count(), count);
    form->Free(list);
  }
}

}  // namespace
}  // namespace kv::ui
