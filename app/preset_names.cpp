#include "app/preset_names.h"

#include <charconv>

#include "base/text.h"
#include "base/utils.h"
#include "engine/format.h"

namespace kv {
namespace {

constexpr std::string_view kCopyOf = "Copy of ";
constexpr std::string_view kCopyOpen = "Copy (";
constexpr std::string_view kCopyClose = ") of ";
constexpr int kHighestStrippedCopy = 50;

// The name without one leading copy mark the duplicate command would have made.
std::string_view WithoutCopyMark(std::string_view name) {
  if (name.substr(0, kCopyOf.size()) == kCopyOf) return name.substr(kCopyOf.size());
  if (name.substr(0, kCopyOpen.size()) != kCopyOpen) return name;
  const size_t close = name.find(kCopyClose, kCopyOpen.size());
  if (close == std::string_view::npos) return name;
  const std::string_view digits = name.substr(kCopyOpen.size(), close - kCopyOpen.size());
  int n = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
  if (ec != std::errc() || end != digits.data() + digits.size() || digits.empty()) return name;
  if (n < 2 || n > kHighestStrippedCopy) return name;
  return name.substr(close + kCopyClose.size());
}

}  // namespace

std::string NewPresetName(const TNameExists& exists) {
  std::string name = kNewPresetName;
  for (int n = 2; exists(name); ++n) name = std::string(kNewPresetName) + " " + std::to_string(n);
  return name;
}

std::string DuplicatePresetName(std::string_view name, const TNameExists& exists) {
  const std::string rest(WithoutCopyMark(name));
  std::string result = std::string(kCopyOf) + rest;
  for (int n = 2; exists(result); ++n)
    result = FormatText("Copy (%d) of ", {n}) + rest;
  return result;
}

std::string CheckPresetName(std::string_view name, const TNameExists& exists) {
  if (AnsiSameText(name, kNoPresetName))
    return FormatText("You can't name a Preset \"%s\".", {kNoPresetName});
  if (name.empty()) return "This is an invalid name for a Preset";
  if (exists(name)) return "A Preset with this name already exists !";
  return {};
}

std::string CheckTranslatorName(std::string_view name) {
  return name.empty() ? "This is no valid name." : std::string();
}

std::string PresetTextFileName(std::string_view presetName) {
  return MakeValidFileName(presetName) + ".txt";
}

}  // namespace kv
