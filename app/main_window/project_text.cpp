#include "app/main_window/project_text.h"

#include "base/text.h"
#include "base/utils.h"
#include "engine/event.h"
#include "engine/format.h"
#include "engine/preset.h"
#include "engine/project.h"
#include "engine/translator.h"

namespace kv {
namespace {

constexpr const char* kNone = "(none)";
const std::string kPresetRule(61, '_');

std::string OptionsLine(const TTransMsg& t) {
  std::string text;
  if (!t.Active()) text += "disabled, ";
  text += t.Stop() ? "stop=true" : "stop=false";
  if (t.GetOutgoingType() == kActionMidi && t.OutputOriginal()) text += ", thru";
  return text;
}

std::string OrNone(const std::string& text) { return text.empty() ? kNone : text; }

void AddPorts(std::vector<std::string>& lines, const char* heading, const TMidiAliasList& ports) {
  if (ports.GetCount() > 0) lines.push_back(heading + ports.GetDisplayText());
}

}  // namespace

void DescribeTranslator(std::vector<std::string>& lines, int presetIndex, int translatorIndex,
                        const TTransMsg& t) {
  if (!lines.empty()) lines.emplace_back();
  lines.push_back(presetIndex < 0
                      ? FormatText("Translator %d: %s", {translatorIndex, t.Name()})
                      : FormatText("Translator %d.%d: %s", {presetIndex, translatorIndex, t.Name()}));
  lines.push_back(FormatText("Options: %s", {OptionsLine(t)}));
  lines.push_back(FormatText("Incoming: %s", {OrNone(t.GetIncomingDescription())}));
  if (t.HasRules()) t.Rules()->ListRules(lines, true);
  lines.push_back(FormatText("Outgoing: %s", {OrNone(t.GetOutgoingDescription())}));
}

void DescribePreset(std::vector<std::string>& lines, int presetIndex, const TTransList& preset) {
  lines.push_back(FormatText("Preset %d: %s", {presetIndex, preset.GetName()}));
  AddPorts(lines, " Default MIDI IN ports:  ", preset.GetDefaultInPorts());
  AddPorts(lines, " Default MIDI OUT ports:  ", preset.GetDefaultOutPorts());
  for (int t = 0; t < preset.GetCount(); ++t) {
    TTransMsgPtr translator = preset.GetTranslatorRef(t);
    if (translator) DescribeTranslator(lines, presetIndex, t, *translator);
  }
}

std::vector<std::string> DescribeProject(const TPresetHandler& project) {
  std::vector<std::string> lines;
  lines.push_back("Project: " + StripExtension(ExtractFileName(project.GetFileName())));
  if (!project.GetAuthor().empty()) lines.push_back(" Author:   " + project.GetAuthor());
  if (!project.GetAuthorContact().empty())
    lines.push_back(" Contact:  " + project.GetAuthorContact());
  const std::string comments = Trim(project.GetComments());
  if (comments.find_first_of("\r\n") != std::string::npos) {
    lines.push_back(" Comments:");
    lines.push_back(comments);
    lines.emplace_back();
  } else if (!comments.empty()) {
    lines.push_back(" Comments: " + comments);
  }
  AddPorts(lines, " Project MIDI IN ports:  ", project.GetDefaultInPorts());
  AddPorts(lines, " Project MIDI OUT ports:  ", project.GetDefaultOutPorts());
  for (int p = 0; p < project.GetPresetCount(); ++p) {
    lines.push_back(kPresetRule);
    if (const TTransList* preset = project.GetPreset(p)) DescribePreset(lines, p, *preset);
  }
  return lines;
}

std::string ProjectTextFileName(const std::string& projectFileName) {
  return StripExtension(ExtractFileName(projectFileName)) + ".txt";
}

std::string JoinTextLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

}  // namespace kv
