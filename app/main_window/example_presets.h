#pragma once
// Installing the example presets into the user's data folder after start-up: whether to, from
// where to where, and what the stored build number becomes.
#include <cstdint>
#include <functional>
#include <string>

namespace kv {

struct TMainSettings;

inline constexpr int32_t kPresetInstallFailed = -1;

// The file system and shell the installation uses.
class TExamplePresetHost {
 public:
  virtual ~TExamplePresetHost() = default;
  virtual bool FolderExists(const std::string& folder) = 0;
  virtual std::string CommonAppDataFolder() = 0;
  // The shell's copy of a folder; true on success; may throw.
  virtual bool CopyFolder(const std::string& source, const std::string& destination) = 0;
  virtual void Information(const std::string& text) = 0;
  virtual void LogError(const std::string& text) = 0;
};

// The folder the examples come from: common application data + "\Zarn\Zarn's Korvanta\Presets".
std::string ExamplePresetSource(const std::string& commonAppData);
// True when the presets must be installed: not when closing at once, nor when the stored build
// is at least the program's and "<preset folder>\Presets" exists.
bool ShouldInstallExamplePresets(const TMainSettings& settings, int32_t programBuild,
                                 bool closeRequested, bool presetsFolderExists);
// Runs the decision and the installation; updates the stored build number. Errors are logged
// once: not again while the stored build says an earlier installation failed.
void InstallExamplePresets(TMainSettings& settings, int32_t programBuild, bool closeRequested,
                           TExamplePresetHost& host);

}  // namespace kv
