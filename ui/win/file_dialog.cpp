#include "ui/file_dialog.h"

#include <optional>
#include <vector>

#include "base/win/wide.h"

namespace kv::ui {

std::wstring FilterToDialogText(const std::string& filter) {
  std::wstring text = win::Widen(filter);
  for (wchar_t& c : text) {
    if (c == L'|') c = L'\0';
  }
  text.push_back(L'\0');
  text.push_back(L'\0');
  return text;
}

bool TFileDialog::Execute(HWND owner) {
  std::wstring filterText = FilterToDialogText(filter);
  std::wstring titleText = win::Widen(title);
  std::wstring ext = win::Widen(defaultExt);
  std::wstring dir = win::Widen(initialDir);
  std::vector<wchar_t> buffer(32 * 1024, L'\0');
  std::wstring proposed = win::Widen(fileName);
  proposed.copy(buffer.data(), buffer.size() - 2);

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.empty() ? nullptr : filterText.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(filterIndex);
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrTitle = title.empty() ? nullptr : titleText.c_str();
  ofn.lpstrDefExt = defaultExt.empty() ? nullptr : ext.c_str();
  ofn.lpstrInitialDir = initialDir.empty() ? nullptr : dir.c_str();
  ofn.Flags = options | OFN_EXPLORER | OFN_ENABLESIZING;
  // The buffer holds exactly one NUL-terminated path: the dialog writes the chosen name over
  // the proposed one, and what follows the first NUL is the proposed name's old tail.
  for (;;) {
    if (!Run(ofn)) return false;
    filterIndex = static_cast<int>(ofn.nFilterIndex);
    const std::wstring chosen(buffer.data());
    if (chosen.empty()) return false;
    if (const std::optional<std::string> narrow = win::NarrowExactly(chosen)) {
      fileName = *narrow;
      return true;
    }
    // The program keeps paths in the ANSI code page: a name it cannot hold would name another
    // file or none, so the user chooses again.
    const std::wstring text = L"The file name\r\n" + chosen +
                              L"\r\nhas characters this program cannot store in its files and "
                              L"settings.\r\nPlease choose a name without them.";
    MessageBoxW(owner, text.c_str(), nullptr, MB_OK | MB_ICONERROR);
  }
}

bool TOpenDialog::Run(OPENFILENAMEW& ofn) {
  return GetOpenFileNameW(&ofn) != FALSE;
}

bool TSaveDialog::Run(OPENFILENAMEW& ofn) {
  return GetSaveFileNameW(&ofn) != FALSE;
}

}  // namespace kv::ui
