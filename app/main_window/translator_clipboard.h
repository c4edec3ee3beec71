#pragma once
// Translators on the clipboard: the blocks of the program's own registered format (four lines
// per translator) and their readable text for other programs. The clipboard itself is the
// window's business; these turn translators into bytes and bytes back into translators.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/translator.h"

namespace kv {

inline constexpr const char* kTranslatorClipboardFormatName = "Zarn's KV/Translator";

struct TTranslatorClip {
  std::string blocks;  // the registered format: text lines, exactly its length, no zero
  std::string text;    // the plain text: each translator's description
};
// A translator to copy and its index in its preset, which its description carries.
struct TClipTranslator {
  int index = 0;
  const TTransMsg* translator = nullptr;
};
TTranslatorClip WriteTranslatorClip(const std::vector<TClipTranslator>& translators);

// Reads the blocks from exactly size bytes of clipboard data (never past them; a zero ends the
// text early). A block that lacks one of its four lines is skipped and reading goes on with
// the next block.
std::vector<TTransMsgPtr> ReadTranslatorClip(const void* data, size_t size,
                                             const TTransMsgErrorCallback& onError = {});

}  // namespace kv
