#pragma once
// The program-wide set-up that runs once at entry, on the main thread, before any window or
// project exists: every action tag registered (in the program's fixed order, called here
// rather than left to the order static objects happen to be built in), the program title,
// the virtual-port name prefixes and the translators' clipboard format.
#include <cstdint>
#include <functional>
#include <string>

namespace kv {

// Registers a clipboard format by name and returns its number (0 on failure). The system's
// registration on Windows; a stand-in natively and in tests.
using TClipboardFormatRegistrar = std::function<uint32_t(const std::string& name)>;
TClipboardFormatRegistrar SystemClipboardFormatRegistrar();

void InitializeProgram(const TClipboardFormatRegistrar& registerFormat);
// The registered translator format; 0 before InitializeProgram or when registration failed.
uint32_t TranslatorClipboardFormat();

}  // namespace kv
