#pragma once
// The readable text of translators, presets and the whole project: the plain-text side of a
// copy and the "Save As Text File..." exports.
#include <string>
#include <vector>

namespace kv {

class TTransMsg;
class TTransList;
class TPresetHandler;

// Appends the description of one translator; presetIndex -1 leaves the preset out of its
// heading. An empty line first separates it from what the list holds already.
void DescribeTranslator(std::vector<std::string>& lines, int presetIndex, int translatorIndex,
                        const TTransMsg& translator);
// "Preset p: name", its default ports, then each translator.
void DescribePreset(std::vector<std::string>& lines, int presetIndex, const TTransList& preset);
// "Project: name", author, contact, comments and default ports, then each preset under a line
// of underscores.
std::vector<std::string> DescribeProject(const TPresetHandler& project);
// The proposed file name of the project's text: the file's name without folder and extension,
// and ".txt".
std::string ProjectTextFileName(const std::string& projectFileName);
// Lines joined by CR LF, each line ended.
std::string JoinTextLines(const std::vector<std::string>& lines);

}  // namespace kv
