#include "editor/props/settings_form.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/controller/controller.h"
#include "base/settings_registry.h"
#include "editor/props/tests/props_test_support.h"
#include "midi/manager/virtual_port_setup.h"

namespace kv {
namespace {

class FakeHost final : public TSettingsHost {
 public:
  TSettingsOptions ReadOptions() override { return options; }
  void ApplyOption(TSettingsOption option, bool value) override {
    applied.push_back("option " + std::to_string(static_cast<int>(option)));
    options[static_cast<size_t>(option)] = value;
  }
  bool IsProjectPropertiesVisible() override { return projectVisible; }
  bool IsVirtualMidiBusAvailable() override { return bus; }
  int GetVirtualPortCount() override { return ports; }
  int SetVirtualPortCount(int count) override {
    applied.push_back("ports " + std::to_string(count));
    if (refuse) return kVirtualPortsFailed;
    if (bus) ports = count;
    return kVirtualPortsAsWanted;
  }

  TSettingsOptions options{};
  bool projectVisible = false;
  bool bus = true;
  int ports = 3;
  bool refuse = false;
  std::vector<std::string> applied;
};

// Records when the page applied, into the host's list, to show the order.
class RecordingPage final : public TPropertyPanel {
 public:
  explicit RecordingPage(std::vector<std::string>& log) : log_(log) {}
  void LoadValues() override {}
  void Revert() override { log_.push_back("page revert"); }
  void Apply(bool) override { log_.push_back("page apply"); }

 private:
  std::vector<std::string>& log_;
};

class SettingsFormTest : public ::testing::Test {
 protected:
  std::unique_ptr<TSettingsForm> Open() {
    auto form = std::make_unique<TSettingsForm>(messages, host, page, "Zarn's Korvanta");
    form->Create();
    form->SelectPage(kSettingsPortsPageId);
    form->Show();
    return form;
  }
  TMemorySettingsRegistry registry;
  TScopedSettingsRegistry registryScope{registry};
  test::TScriptedMessages messages;
  FakeHost host;
  RecordingPage page{host.applied};
};

TEST_F(SettingsFormTest, PresentPortsLoadWithoutAChangeAndApplyFollowsThePages) {
  auto form = Open();
  EXPECT_EQ(form->Caption(), "Settings - Zarn's Korvanta");
  EXPECT_EQ(form->CurrentPanel(), &page);
  EXPECT_TRUE(form->UseVirtualPorts());
  EXPECT_EQ(form->VirtualPortsItem(), 2);
  EXPECT_FALSE(form->ApplyEnabled());
  EXPECT_TRUE(form->ProjectPropertiesButtonVisible());

  form->ChooseVirtualPorts(1);
  form->EditOption(TSettingsOption::ShowTrayIcon, true);
  ASSERT_TRUE(form->Close(TModalResult::OK));
  EXPECT_EQ(host.applied,
            (std::vector<std::string>{"page apply", "option 0", "option 1", "option 2", "option 3",
                                      "option 4", "option 5", "option 6", "ports 2"}));
  EXPECT_EQ(host.ports, 2);
}

TEST_F(SettingsFormTest, ADeviceChangeKeepsAnUnappliedPortCount) {
  auto form = Open();
  form->ChooseVirtualPorts(4);
  host.ports = 1;  // someone else changed the ports
  form->DevicesChanged();
  EXPECT_EQ(form->VirtualPortsItem(), 4);
  EXPECT_TRUE(form->ApplyEnabled());
  host.bus = false;
  form->DevicesChanged();
  EXPECT_FALSE(form->UseVirtualPortsEnabled());
  EXPECT_EQ(form->VirtualPortStatus(), kNoBusStatus);

  // Without the bus any apply asks for no ports; a refused change keeps what was asked for.
  host.bus = true;
  form->DevicesChanged();
  EXPECT_EQ(form->VirtualPortsItem(), 0);
  form->UseVirtualPortsClick(true);
  form->ChooseVirtualPorts(3);
  host.refuse = true;
  form->ApplyClick();
  EXPECT_EQ(host.applied.back(), "ports 4");
  EXPECT_EQ(form->VirtualPortsItem(), 3);
}

TEST_F(SettingsFormTest, TrayOptionsFollowTheTrayIconAndCancelDiscardsEdits) {
  host.options[static_cast<size_t>(TSettingsOption::AnimateTray)] = true;
  host.projectVisible = true;
  auto form = Open();
  EXPECT_TRUE(form->ReturnButtonVisible());
  EXPECT_FALSE(form->OptionEnabled(TSettingsOption::AnimateTray));
  EXPECT_TRUE(form->Option(TSettingsOption::AnimateTray));
  form->EditOption(TSettingsOption::ShowTrayIcon, true);
  EXPECT_TRUE(form->OptionEnabled(TSettingsOption::MinimizeToTray));
  form->Close(TModalResult::Cancel);  // "Return to Project Properties" closes this way
  EXPECT_TRUE(form->IsClosed());
  EXPECT_EQ(host.applied, (std::vector<std::string>{"page revert"}));
}

TEST(SystemVirtualPortsTest, WithoutTheBusThereAreNoPorts) {
  EXPECT_FALSE(TSystemVirtualPorts::BusAvailable());
  EXPECT_EQ(TSystemVirtualPorts::Count(), 0);
}

}  // namespace
}  // namespace kv
