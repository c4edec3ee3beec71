#include "ui/file_dialog.h"

#include "base/utils.h"
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
  if (!Run(ofn)) return false;

  filterIndex = static_cast<int>(ofn.nFilterIndex);
  files.clear();
  // One file: its full path. Several: the folder, then each name, NUL-separated. Only a list
  // is read past the first NUL: behind one path lie the remains of a longer proposed name.
  const bool several = (ofn.Flags & OFN_ALLOWMULTISELECT) != 0 && ofn.nFileOffset > 0 &&
                       buffer[ofn.nFileOffset - 1] == L'\0';
  std::vector<std::wstring> parts;
  for (const wchar_t* p = buffer.data(); *p; p += wcslen(p) + 1) {
    parts.emplace_back(p);
    if (!several) break;
  }
  if (parts.empty()) return false;
  if (parts.size() == 1) {
    files.push_back(win::Narrow(parts[0]));
  } else {
    std::string folder = AddTrailingBackslash(win::Narrow(parts[0]));
    for (size_t i = 1; i < parts.size(); ++i) files.push_back(folder + win::Narrow(parts[i]));
  }
  fileName = files.front();
  return true;
}

bool TOpenDialog::Run(OPENFILENAMEW& ofn) {
  return GetOpenFileNameW(&ofn) != FALSE;
}

bool TSaveDialog::Run(OPENFILENAMEW& ofn) {
  return GetSaveFileNameW(&ofn) != FALSE;
}

}  // namespace kv::ui
