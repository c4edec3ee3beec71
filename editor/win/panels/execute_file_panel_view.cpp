// The view of the execute-file panel.
#include "editor/win/panels/execute_file_panel_view.h"

#include "ui/file_dialog.h"

namespace kv {

using ui::TRect;

TExecuteFileView::TExecuteFileView(ui::TWindow& page, const TRect& area, TPanelViewHost& host,
                                   TEPOutExecuteFile& model)
    : TPanelView(page, area, host), model_(model) {
  const int w = area.Width() - 16;
  AddLabel(*content_, "Start a program, or open a document:", 8, 8, w);
  AddLabel(*content_, "Filename:", 8, 33, 70);
  file_ = &Make<ui::TEdit>(TRect::FromBounds(80, 30, w - 110, 22));
  auto& browse = Make<ui::TButton>("...", TRect::FromBounds(w - 24, 29, 32, 24));
  AddLabel(*content_, "Parameters:", 8, 61, 70);
  params_ = &Make<ui::TEdit>(TRect::FromBounds(80, 58, w - 110, 22));
  auto& test = Make<ui::TButton>("Test", TRect::FromBounds(80, 86, 80, 24));
  auto& note1 = AddLabel(*content_,
                         "Specifying a relative folder will base it on the folder containing the "
                         "project file.", 8, 118, w);
  (void)note1;
  auto& note2 = Make<ui::TLabel>("You can also embed variables. They are enclosed in % characters "
                                 "and can include an optional formatting specification (see "
                                 "examples below).",
                                 TRect::FromBounds(8, 138, w, 32));
  (void)note2;
  AddLabel(*content_, "Examples for embedding variable pp with value 107:", 8, 174, w);
  ui::TEditOptions o;
  o.multiLine = true;
  o.readOnly = true;
  auto& examples = Make<ui::TEdit>(TRect::FromBounds(8, 192, w, area.Height() - 198), o);
  // Columns: format, result, comment (tab stops in dialog units).
  const int stops[] = {44, 80};
  SendMessageW(examples.Handle(), EM_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(stops));
  SetWindowLongW(examples.Handle(), GWL_STYLE,
                 GetWindowLongW(examples.Handle(), GWL_STYLE) | WS_VSCROLL);
  SetWindowPos(examples.Handle(), nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  examples.SetText(
      "%pp%\t107\tdefault: decimal\r\n"
      "%d pp%\t107\tdecimal\r\n"
      "%4d pp%\t 107\tdecimal, width 4\r\n"
      "%05d pp%\t00107\tfive digits, zero-padded\r\n"
      "%06X pp%\t00006B\tsix upper-case hexadecimal digits\r\n"
      "%x pp%\t6b\tlower-case hexadecimal\r\n"
      "%c pp%\tk\tthe character with that code");
  file_->OnChange = OnUser([this] { model_.SetFileName(file_->Text()); });
  params_->OnChange = OnUser([this] { model_.SetParameters(params_->Text()); });
  browse.OnClick = [this] { Browse(); };
  test.OnClick = [this] {
    if (!model_.RunTest(host_.params ? host_.params() : nullptr) && host_.message) {
      host_.message("Could not execute the file.", true);
    }
  };
}

void TExecuteFileView::Browse() {
  const std::string folder = host_.projectFolder ? host_.projectFolder() : std::string();
  const TBrowseStart start = ExecuteFileBrowseStart(folder, model_.FileName());
  ui::TOpenDialog dialog;
  dialog.title = "Select File to Execute";
  dialog.filter = "All Files (*.*)|*.*";
  dialog.initialDir = start.folder;
  dialog.fileName = start.fileName;
  if (!dialog.Execute(content_->Handle())) return;
  model_.FileChosen(folder, dialog.fileName);
  Refresh();
}

void TExecuteFileView::Refresh() {
  TViewSync::TScope scope(sync_);
  SetTextIfChanged(*file_, model_.FileName());
  SetTextIfChanged(*params_, model_.Parameters());
}

}  // namespace kv
