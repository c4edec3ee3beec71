// Loading, reading and writing a large project-sized INI text: the settings store must not be
// the slow part of opening or saving a project with thousands of translators.
#include <benchmark/benchmark.h>

#include "base/ini_file.h"

static std::string MakeText(int presets, int translators) {
  std::string text;
  for (int p = 0; p < presets; ++p) {
    text += "[Preset." + std::to_string(p) + "]\r\n";
    for (int t = 0; t < translators; ++t)
      text += "Translator" + std::to_string(t) + "=0008Name " + std::to_string(t) +
              "|MID1 90 3C 7F|KAM1 0041|01 00 00\r\n";
    text += "\r\n";
  }
  return text;
}

static void BM_IniLoad(benchmark::State& state) {
  const std::string text = MakeText(20, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    kv::TMemIniFile ini;
    ini.SetText(text);
    benchmark::DoNotOptimize(ini.ReadSections().size());
  }
}
BENCHMARK(BM_IniLoad)->Arg(10)->Arg(100);

static void BM_IniReadLastKey(benchmark::State& state) {
  kv::TMemIniFile ini;
  ini.SetText(MakeText(20, 100));
  for (auto _ : state) benchmark::DoNotOptimize(ini.ReadString("Preset.19", "Translator99", ""));
}
BENCHMARK(BM_IniReadLastKey);

static void BM_IniWriteAndText(benchmark::State& state) {
  const int translators = static_cast<int>(state.range(0));
  for (auto _ : state) {
    kv::TMemIniFile ini;
    for (int p = 0; p < 20; ++p) {
      const std::string section = "Preset." + std::to_string(p);
      for (int t = 0; t < translators; ++t)
        ini.WriteString(section, "Translator" + std::to_string(t),
                        "0008Name " + std::to_string(t) + "|MID1 90 3C 7F|KAM1 0041|01 00 00");
    }
    benchmark::DoNotOptimize(ini.GetText().size());
  }
}
BENCHMARK(BM_IniWriteAndText)->Arg(10)->Arg(100);
