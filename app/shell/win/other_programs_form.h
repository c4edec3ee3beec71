#pragma once
// The other-programs window: a picture (300 x 50, the program's name as its hint, a click
// opens the link), the link, the description and "Next" / "OK". Its content comes from the
// program's "PUBLICITY" resources in a shuffled order kept for the whole run. When an entry
// cannot be shown the window closes itself; the program goes on (an unsaved project must
// survive a broken resource).
#include <memory>
#include <string>

#include "app/shell/other_programs_presenter.h"
#include "ui/form.h"
#include "ui/graphics.h"

namespace kv::ui {
class TButton;
class TEdit;
}  // namespace kv::ui

namespace kv {

class TZarnWebLabel;

// The "PUBLICITY" resources of a module (the program's own by default).
class TModulePublicityResources final : public TPublicityResources {
 public:
  explicit TModulePublicityResources(HINSTANCE module = nullptr);
  std::optional<std::string> Named(const std::string& name) override;
  std::optional<std::string> Numbered(int32_t id) override;

 private:
  std::optional<std::string> Read(const wchar_t* name);
  HINSTANCE module_;
};

// A bitmap of a bitmap file's bytes (headers already checked); empty when it cannot be made.
ui::TBitmap BitmapFromFile(const std::string& bytes);

class TPublicityForm final : public ui::TForm {
 public:
  // presenter: the entries and their order (not owned; outlives the window).
  TPublicityForm(ui::TWindow* owner, TPublicityPresenter& presenter);
  ~TPublicityForm() override;

  // Shows the next entry; on an error closes the window and keeps the error's text.
  bool ShowNextEntry();
  const TPublicityView& Entry() const { return entry_; }
  const std::string& Error() const { return error_; }

  ui::TButton& NextButton() const { return *next_; }
  ui::TButton& OkButton() const { return *ok_; }
  TZarnWebLabel& Link() const { return *link_; }
  ui::TEdit& Description() const { return *description_; }
  ui::TCustomControl& Picture() const { return *picture_; }
  const ui::TBitmap& PictureBitmap() const { return bitmap_; }

  // The open window, or null.
  static TPublicityForm* Instance();
  // Raised when an entry cannot be shown (tests); the text is the error's.
  static std::string LastError();

 private:
  void Shown();

  TPublicityPresenter& presenter_;
  TPublicityView entry_;
  std::string error_;
  ui::TFont font_;
  ui::TBitmap bitmap_;
  ui::TCustomControl* picture_ = nullptr;
  TZarnWebLabel* link_ = nullptr;
  ui::TEdit* description_ = nullptr;
  ui::TButton* next_ = nullptr;
  ui::TButton* ok_ = nullptr;
  friend TPublicityForm& ShowOtherProgramsWindow(ui::TWindow*, TPublicityPresenter*);
};

// Creates the window over the main window when there is none and shows it when hidden.
// presenter: null for the program's own resources.
TPublicityForm& ShowOtherProgramsWindow(ui::TWindow* mainWindow,
                                        TPublicityPresenter* presenter = nullptr);

}  // namespace kv
