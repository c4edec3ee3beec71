#include "app/main_window/program_init.h"

#include <atomic>

#include "app/main_window/translator_clipboard.h"
#include "base/texts.h"
#include "engine/action_registry.h"
#include "midi/virtual/virtual_port.h"

namespace kv {
namespace {

std::atomic<uint32_t> gTranslatorFormat{0};

}  // namespace

void InitializeProgram(const TClipboardFormatRegistrar& registerFormat) {
  RegisterStandardTransActions();
  SetProgramTitle(kDefaultProgramTitle);
  SetVirtualPortPrefixes("", "");
  gTranslatorFormat = registerFormat ? registerFormat(kTranslatorClipboardFormatName) : 0;
}

uint32_t TranslatorClipboardFormat() { return gTranslatorFormat; }

}  // namespace kv
