#pragma once
// The toolbar images of the main window and the editor: enabled and disabled strips of 16 x 16
// images for toolbar 1 (drawn through the "BUTTON1MASK" mask) and toolbar 2. On a screen of 8
// bits per pixel or fewer the 16-colour strips load, and no disabled ones (the toolbars then
// drop their disabled images). A bitmap that fails to load is skipped.
#include "ui/graphics.h"

namespace kv {

// The images of toolbar 1 and 2, by index.
enum TToolbar1Image {
  tbiNew, tbiOpen, tbiSave, tbiAdd, tbiEdit, tbiRename, tbiCopy, tbiCut, tbiPaste, tbiDelete,
};
enum TToolbar2Image { tbiPanic };

class TGlobals {
 public:
  TGlobals() = default;
  TGlobals(const TGlobals&) = delete;
  TGlobals& operator=(const TGlobals&) = delete;
  static TGlobals& Instance();

  // Loads the strips for a screen of that many bits per pixel, unless toolbar 1's enabled
  // images are loaded already.
  void LoadImages(int bitsPerPixel);
  bool LowColor() const { return lowColor_; }

  ui::TImageList ILButton1Enabled;
  ui::TImageList ILButton2Enabled;
  ui::TImageList ILButton1Disabled;
  ui::TImageList ILButton2Disabled;

 private:
  bool loaded1Enabled_ = false;
  bool lowColor_ = false;
};

}  // namespace kv
