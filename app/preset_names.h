#pragma once
// Names the main window gives new and duplicated presets and translators, and the checks a
// preset name must pass. Name comparisons ignore case as the user's locale does.
#include <functional>
#include <string>
#include <string_view>

namespace kv {

// True when a preset of that name exists.
using TNameExists = std::function<bool(std::string_view name)>;

inline constexpr const char* kNewPresetName = "New Preset";
inline constexpr const char* kNewTranslatorName = "New Translator";
inline constexpr const char* kNoPresetName = "[none]";

// "New Preset", else "New Preset 2", "New Preset 3", ...
std::string NewPresetName(const TNameExists& exists);
// "Copy of " + the name without an earlier "Copy of " or "Copy (n) of " (n 2..50), else
// "Copy (2) of " + that, "Copy (3) of " + that, ...
std::string DuplicatePresetName(std::string_view name, const TNameExists& exists);
// The error text a preset name gives, empty when the name may be used. exists must not count
// the preset being renamed.
std::string CheckPresetName(std::string_view name, const TNameExists& exists);
// The error text an in-place translator rename gives, empty when the name may be used.
std::string CheckTranslatorName(std::string_view name);
// The proposed text-file name of a preset: its name without / \ * : ? " < > | and ".txt".
std::string PresetTextFileName(std::string_view presetName);

}  // namespace kv
