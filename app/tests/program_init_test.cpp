// Program entry's set-up: every tag known in the program's order, the title, the port prefixes
// and the clipboard format through its seam.
#include <gtest/gtest.h>

#include "app/main_window/program_init.h"
#include "base/texts.h"
#include "engine/action_registry.h"
#include "midi/virtual/virtual_port.h"

namespace kv::test {
namespace {

TEST(ProgramInitTest, RegistersEveryTagInOrderAndSetsTheProgramWideValues) {
  ResetTransActionRegistryForTests();
  SetProgramTitle("Korvanta");
  SetVirtualPortPrefixes("From ", "To ");
  std::string asked;
  InitializeProgram([&asked](const std::string& name) -> uint32_t {
    asked = name;
    return 0xC123;
  });
  EXPECT_EQ(RegisteredTransActionTags(),
            (std::vector<std::string>{"Tim0", "MID1", "MID2", "KAM1", "KAM2", "KSQ1", "Key ",
                                      "EnDi", "None", "Pres", "ExF1", "Mse1", "Mse2", "SMsg"}));
  EXPECT_EQ(GetProgramTitle(), "Zarn's Korvanta Pro");
  EXPECT_EQ(GetVirtualOutputPrefix(), "");
  EXPECT_EQ(GetVirtualInputPrefix(), "");
  EXPECT_EQ(asked, "Zarn's KV/Translator");
  EXPECT_EQ(TranslatorClipboardFormat(), 0xC123u);
  EXPECT_NE(SystemClipboardFormatRegistrar()("Zarn's KV/Translator"), 0u);
}

}  // namespace
}  // namespace kv::test
