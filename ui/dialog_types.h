#pragma once
// Modal results and the kinds and buttons of message dialogs, shared by the window layer
// and by portable code that asks the user something through a seam.
#include <cstdint>

namespace kv::ui {

enum TModalResult : int {
  mrNone = 0,
  mrOk = 1,
  mrCancel = 2,
  mrAbort = 3,
  mrRetry = 4,
  mrIgnore = 5,
  mrYes = 6,
  mrNo = 7,
  mrAll = 8,
  mrNoToAll = 9,
  mrYesToAll = 10,
};

enum class TMsgDlgType { Warning, Error, Information, Confirmation, Custom };

// A set of buttons (bits); shown in this order.
enum : uint32_t {
  mbYes = 1,
  mbNo = 2,
  mbOK = 4,
  mbCancel = 8,
  mbAbort = 16,
  mbRetry = 32,
  mbIgnore = 64,
  mbAll = 128,
  mbNoToAll = 256,
  mbYesToAll = 512,
};
using TMsgDlgButtons = uint32_t;
inline constexpr TMsgDlgButtons mbYesNo = mbYes | mbNo;
inline constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
inline constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;

// The delays, in ms, that message dialogs keep their buttons disabled by default.
inline constexpr int kInformationDelayMs = 500;
inline constexpr int kConfirmationDelayMs = 1000;
inline constexpr int kErrorDelayMs = 1000;

}  // namespace kv::ui
