// Translators through the clipboard's bytes, and the readable text of translators, presets and
// the project.
#include <gtest/gtest.h>

#include <cstring>

#include "app/main_window/project_text.h"
#include "app/main_window/translator_clipboard.h"
#include "engine/action_registry.h"
#include "engine/preset.h"
#include "engine/project.h"
#include "engine/translate_params.h"
#include "midi/model/alias.h"
#include "midi/model/router.h"

namespace kv::test {
namespace {

TTransMsgPtr Make(const std::string& name, const char* in, const char* out, std::string options) {
  RegisterStandardTransActions();
  TTransMsgPtr t = TTransMsg::CreateFromText(in, out, &options);
  t->SetName(name);
  return t;
}

TEST(TranslatorClipboardTest, TwoTranslatorsMakeTwoBlocksAndTwoDescriptions) {
  auto a = Make("Kick", "MID1903C7F", "None", "Actv01Stop01");
  auto b = Make("Off", "MID1903C7F", "MID1903C7F", "Actv00Stop00OutO01");
  // Each is numbered by its place in its preset, not in what was copied.
  const TTranslatorClip clip = WriteTranslatorClip({{1, a.get()}, {3, b.get()}});
  EXPECT_EQ(clip.blocks.find('\0'), std::string::npos);
  EXPECT_EQ(clip.blocks.rfind("Name=Kick\r\nIncoming=", 0), 0u);
  EXPECT_NE(clip.blocks.find("\r\nName=Off\r\n"), std::string::npos);
  EXPECT_EQ(clip.text.rfind("Translator 1: Kick\r\nOptions: stop=true\r\nIncoming: ", 0), 0u);
  EXPECT_NE(clip.text.find("\r\n\r\nTranslator 3: Off\r\nOptions: disabled, stop=false, thru\r\n"),
            std::string::npos);
  EXPECT_NE(clip.text.find("Outgoing: (none)"), std::string::npos);  // "None" has no text

  const auto back = ReadTranslatorClip(clip.blocks.data(), clip.blocks.size());
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0]->Name(), "Kick");
  EXPECT_TRUE(back[0]->Stop());
  EXPECT_EQ(back[1]->GetOptionsText(), b->GetOptionsText());
  EXPECT_EQ(back[1]->GetOutgoingText(), b->GetOutgoingText());
}

TEST(TranslatorClipboardTest, ReadingStaysInsideTheDataAndSkipsTornBlocks) {
  auto a = Make("A", "MID1903C7F", "None", "");
  auto b = Make("B", "MID1903C7F", "None", "");
  std::string bytes = WriteTranslatorClip({{0, a.get()}, {1, b.get()}}).blocks;
  // A block missing its last line, then the whole ones: the torn one alone is lost.
  const std::string torn = "Name=Torn\r\nIncoming=MID1903C7F\r\nOutgoing=None\r\n";
  std::string data = torn + bytes;
  auto back = ReadTranslatorClip(data.data(), data.size());
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0]->Name(), "A");

  // Only the given size is read: the second block's last line lies beyond it.
  const size_t cut = bytes.rfind("Options=");
  auto buffer = std::make_unique<char[]>(cut);  // exactly the size, for the sanitizer to watch
  std::memcpy(buffer.get(), bytes.data(), cut);
  back = ReadTranslatorClip(buffer.get(), cut);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0]->Name(), "A");

  // A zero inside the data ends the text (a writer that counted its terminator).
  data = bytes + std::string("\0Name=X\r\n", 9);
  EXPECT_EQ(ReadTranslatorClip(data.data(), data.size()).size(), 2u);
  EXPECT_TRUE(ReadTranslatorClip(nullptr, 10).empty());
  const std::string other = "plain text from another program";
  EXPECT_TRUE(ReadTranslatorClip(other.data(), other.size()).empty());
}

struct ProjectTextTest : ::testing::Test {
  TGlobalTranslateParams params;
  TMidiRouter router{MidiAliasManager()};
  TPresetHandler project{&params, {}, {}, {}, {}, &router};
};

TEST_F(ProjectTextTest, AnEmptyHeaderGoesStraightToThePresets) {
  project.SetFileName("C:\\Shows\\Live Set.kvxp");
  TLockableTransList& p = project.NewPreset();
  p.SetName("Drums");
  p.AddTranslator(Make("Kick", "MID1903C7F", "None", ""));
  const std::vector<std::string> lines = DescribeProject(project);
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0], "Project: Live Set");
  EXPECT_EQ(lines[1], std::string(61, '_'));
  EXPECT_EQ(lines[2], "Preset 0: Drums");
  EXPECT_EQ(lines[3], "");  // each translator is set apart from what precedes it
  EXPECT_EQ(lines[4], "Translator 0.0: Kick");
  EXPECT_EQ(ProjectTextFileName(project.GetFileName()), "Live Set.txt");
  EXPECT_EQ(ProjectTextFileName(""), ".txt");
}

TEST_F(ProjectTextTest, HeaderFieldsAndCommentsOnTheirOwnLines) {
  project.SetAuthor("Me");
  project.SetAuthorContact("me@example.org");
  project.SetComments("  first\r\nsecond  ");
  std::vector<std::string> lines = DescribeProject(project);
  EXPECT_EQ(lines, (std::vector<std::string>{"Project: ", " Author:   Me",
                                             " Contact:  me@example.org", " Comments:",
                                             "first\r\nsecond", ""}));
  project.SetComments("one line");
  lines = DescribeProject(project);
  EXPECT_EQ(lines.back(), " Comments: one line");
}

}  // namespace
}  // namespace kv::test
