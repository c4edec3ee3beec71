#include "editor/props/property_form.h"

#include <gtest/gtest.h>

#include "app/controller/controller.h"
#include "base/exception.h"
#include "base/ini_file.h"
#include "base/settings_key.h"
#include "base/settings_registry.h"
#include "editor/props/tests/props_test_support.h"

namespace kv {
namespace {

class FakePanel final : public TPropertyPanel {
 public:
  void LoadValues() override {
    ++loads;
    value = model;
  }
  void Revert() override {
    ++reverts;
    value = model;
  }
  void Apply(bool showErrors) override {
    ++applies;
    lastShowErrors = showErrors;
    if (failApply) throw Exception("The port is gone.");
    model = value;
  }
  void Edit(int v) {
    value = v;
    PanelChanged();
  }

  int model = 0;
  int value = 0;
  int loads = 0, reverts = 0, applies = 0;
  bool lastShowErrors = false;
  bool failApply = false;
};

// Notebook pages 0 and 1, page objects 100 (a child of page 1) and 101.
class FakeForm final : public TPropertyForm {
 public:
  FakeForm(TPropsMessages& messages, FakePanel& a, FakePanel& b, std::string regKey)
      : TPropertyForm(messages), a_(a), b_(b), regKey_(std::move(regKey)) {}

  int applyValues = 0, cancels = 0, afterCloses = 0, loads = 0;
  int storedWidth = 0;
  int width = 572;

 protected:
  void InitPages() override {
    AddPage("General", 0, -1);
    AddPage("MIDI", 1, -1);
    AddPage("Ports", 100, 1);
    AddPage("Router", 101, 1);
    AddPage("Nowhere", 77, -1);
    SetRegKey(regKey_);
  }
  void AfterClose() override { ++afterCloses; }
  void ApplyValues() override { ++applyValues; }
  void LoadValues() override { ++loads; }
  void CancelValues() override { ++cancels; }
  void UpdateControls() override {}
  TPropertyPanel* GetPanel(int id) override {
    return id == 100 ? &a_ : id == 101 ? static_cast<TPropertyPanel*>(&b_) : nullptr;
  }
  int NotebookPageCount() const override { return 2; }
  void ReadWindowPlacement(const TCustomIniFile& ini) override {
    width = ini.ReadInteger(RegKey(), "Width", width);
  }
  void WriteWindowPlacement(TCustomIniFile& ini) override {
    ini.WriteInteger(RegKey(), "Width", width);
  }

 private:
  FakePanel& a_;
  FakePanel& b_;
  std::string regKey_;
};

class PropertyFormTest : public ::testing::Test {
 protected:
  std::unique_ptr<FakeForm> Open(const std::string& regKey = "TestWindow") {
    auto form = std::make_unique<FakeForm>(messages, a, b, regKey);
    form->Create();
    return form;
  }
  TMemorySettingsRegistry registry;
  TScopedSettingsRegistry registryScope{registry};
  test::TScriptedMessages messages;
  FakePanel a, b;
};

TEST_F(PropertyFormTest, PagesFormATreeAndOnlyTheLastPendingPageOpens) {
  auto form = Open();
  ASSERT_EQ(form->Nodes().size(), 5u);
  EXPECT_EQ(form->Nodes()[2].parent, 1);
  EXPECT_TRUE(form->Nodes()[1].expanded);
  EXPECT_FALSE(form->ApplyEnabled());
  form->SelectPage(101);
  form->SelectPage(100);
  EXPECT_EQ(form->CurrentPanel(), nullptr);
  form->Show();
  EXPECT_EQ(form->CurrentPanel(), &a);
  EXPECT_TRUE(a.Visible());
  EXPECT_FALSE(b.Visible());
  EXPECT_EQ(form->SelectedNode(), 2);
  EXPECT_EQ(a.loads, 1);
  EXPECT_EQ(b.loads, 1);

  form->SelectPage(1);
  EXPECT_EQ(form->CurrentNotebookPage(), 1);
  EXPECT_FALSE(a.Visible());
  form->SelectPage(77);  // neither a notebook page nor a page object: the area is empty
  EXPECT_EQ(form->CurrentPanel(), nullptr);
  EXPECT_EQ(form->CurrentNotebookPage(), -1);
}

TEST_F(PropertyFormTest, OkWithoutChangesWritesNothingAndCancelKeepsWhatWasApplied) {
  auto form = Open();
  form->Show();
  a.Edit(5);  // raised while loading would not count; after showing it does
  EXPECT_TRUE(form->HasPendingChanges());
  form->ApplyClick();
  EXPECT_EQ(a.model, 5);
  EXPECT_EQ(form->applyValues, 1);
  EXPECT_FALSE(form->ApplyEnabled());
  EXPECT_TRUE(a.lastShowErrors);
  a.Edit(9);
  ASSERT_TRUE(form->Close(TModalResult::Cancel));
  EXPECT_EQ(a.model, 5);
  EXPECT_EQ(a.value, 5);
  EXPECT_EQ(form->cancels, 1);
  EXPECT_EQ(form->afterCloses, 1);
  EXPECT_FALSE(a.Hosted());
  EXPECT_FALSE(static_cast<bool>(a.OnPanelChange));

  // The same page objects serve the next opening; OK without a change applies nothing.
  auto again = Open();
  again->Show();
  EXPECT_EQ(a.loads, 2);
  ASSERT_TRUE(again->Close(TModalResult::OK));
  EXPECT_EQ(a.applies, 1);
  EXPECT_EQ(again->applyValues, 0);
}

TEST_F(PropertyFormTest, AFailedApplyOnOkKeepsTheDialogOpenWithItsEdits) {
  auto form = Open();
  form->Show();
  b.Edit(3);
  b.failApply = true;
  EXPECT_FALSE(form->Close(TModalResult::OK));
  ASSERT_EQ(messages.errors.size(), 1u);
  EXPECT_EQ(messages.errors[0], "The port is gone.");
  EXPECT_FALSE(form->IsClosed());
  EXPECT_EQ(form->afterCloses, 0);
  EXPECT_TRUE(form->ApplyEnabled());
  EXPECT_EQ(b.value, 3);
  EXPECT_TRUE(b.Hosted());

  b.failApply = false;
  EXPECT_TRUE(form->Close(TModalResult::OK));
  EXPECT_EQ(b.model, 3);
  EXPECT_TRUE(form->IsClosed());
}

TEST_F(PropertyFormTest, TheSizeIsKeptUnderTheSettingsKeyOnlyWithARegKey) {
  const std::string key = GetSettingsRegKey(false);
  auto unnamed = Open("");
  unnamed->Show();
  unnamed->Close(TModalResult::None);
  EXPECT_FALSE(registry.HasKey(key));

  auto form = Open();
  form->Show();
  form->width = 640;
  form->Close(TModalResult::None);
  EXPECT_EQ(registry.Key(key)->ReadInteger("TestWindow", "Width", 0), 640);
  EXPECT_EQ(form->cancels, 0);
  auto again = Open();
  again->Show();
  EXPECT_EQ(again->width, 640);
}

}  // namespace
}  // namespace kv
