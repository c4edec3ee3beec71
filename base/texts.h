#pragma once
// Texts of the system's own that several subsystems share, and the program title, which
// start-up sets once before any settings key or window caption is made from it.
#include <string>

namespace kv {

inline constexpr const char* kDefaultProgramTitle = "Zarn's Korvanta Pro";
inline constexpr const char* kSettingsCompany = "Zarn Software";
inline constexpr const char* kLegacySettingsCompany = "Druvin";
inline constexpr const char* kSettingsFileExt = ".kvxs";
inline constexpr const char* kProjectFileExt = ".kvxp";

// The program title; defaults to kDefaultProgramTitle.
const std::string& GetProgramTitle();
void SetProgramTitle(const std::string& title);

}  // namespace kv
