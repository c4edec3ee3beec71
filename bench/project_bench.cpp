// Loading and saving a large project: 32 presets of 128 translators each, every translator
// with a MIDI trigger, a MIDI action and options with rules.
#include <benchmark/benchmark.h>

#include <string>

#include "app/main_window/main_commands.h"
#include "base/ini_file.h"
#include "base/text.h"
#include "engine/action_registry.h"
#include "engine/project.h"
#include "engine/translate_params.h"

namespace {

constexpr int kPresets = 32;
constexpr int kTranslators = 128;

std::string BigProjectText() {
  std::string text =
      "[Project]\r\nVersion=2\r\nAuthor=Bench\r\nAuthorContact=\r\nComments=a\\r\\nb\r\n"
      "DefaultInPorts=MIDA00010004Keys\r\nDefaultOutPorts=MIDA00010005Synth\r\n";
  for (int p = 0; p < kPresets; ++p) {
    text += "\r\n[Preset." + kv::IntToStr(p) + "]\r\nName=Preset " + kv::IntToStr(p) +
            "\r\nActive=" + (p == 0 ? "1" : "0") + "\r\nPresetSwitchIgnore=0\r\n";
    for (int t = 0; t < kTranslators; ++t) {
      const std::string n = kv::IntToStr(t);
      const std::string note = kv::IntToHex(static_cast<uint32_t>(t), 2);
      text += "Name" + n + "=Translator " + n + "\r\n";
      text += "Incoming" + n + "=MID190" + note + "pp\r\n";
      text += "Outgoing" + n + "=MID2MIDA00010005SynthB0" + note + "pp\r\n";
      text += "Options" + n + "=Actv01Stop00OutO00StMa00000002if(pp>0)ga=ga+1skip\r\n";
    }
  }
  return text + "\r\n[MIDI.routes]\r\nIn0=Keys\r\nOut0=Synth\r\n";
}

struct Fixture {
  Fixture() { kv::RegisterStandardTransActions(); }
  kv::TGlobalTranslateParams params;
  kv::TPresetHandler project{&params, {}, {}, {}, {}};
  const std::string text = BigProjectText();
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

void BM_LoadProject(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    kv::TMemIniFile ini;
    ini.SetText(f.text);
    f.project.ReadProject(ini, "bench.kvxp", false, false, nullptr);
    benchmark::DoNotOptimize(f.project.GetPresetCount());
  }
  state.SetItemsProcessed(state.iterations() * kPresets * kTranslators);
}
BENCHMARK(BM_LoadProject)->Unit(benchmark::kMillisecond);

void BM_SaveProject(benchmark::State& state) {
  Fixture& f = Shared();
  kv::TMemIniFile source;
  source.SetText(f.text);
  f.project.ReadProject(source, "bench.kvxp", false, false, nullptr);
  for (auto _ : state) {
    kv::TMemIniFile ini;
    f.project.WriteProject(ini);
    std::string out = ini.GetText();
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * kPresets * kTranslators);
}
BENCHMARK(BM_SaveProject)->Unit(benchmark::kMillisecond);

// The texts a translator list shows for every translator of the project (4,096): name,
// short or long descriptions and the options, each row reached through its preset's lock.
void BM_TranslatorRowTexts(benchmark::State& state) {
  Fixture& f = Shared();
  kv::TMemIniFile source;
  source.SetText(f.text);
  f.project.ReadProject(source, "bench.kvxp", false, false, nullptr);
  const bool friendly = state.range(0) != 0;
  for (auto _ : state) {
    size_t chars = 0;
    for (int p = 0; p < f.project.GetPresetCount(); ++p) {
      kv::TTransList* preset = f.project.GetPreset(p);
      for (int row = 0; row < preset->GetCount(); ++row) {
        kv::TTransMsgPtr t = preset->GetTranslatorRef(row);
        chars += t->Name().size() + kv::TranslatorOptionsText(*t).size();
        chars += friendly ? t->GetIncomingShortDescription().size() +
                                t->GetOutgoingShortDescription().size()
                          : t->GetIncomingDescription().size() + t->GetOutgoingDescription().size();
      }
    }
    benchmark::DoNotOptimize(chars);
  }
  state.SetItemsProcessed(state.iterations() * kPresets * kTranslators);
}
BENCHMARK(BM_TranslatorRowTexts)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace
