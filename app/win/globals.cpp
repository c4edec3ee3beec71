#include "app/win/globals.h"

#include <string>

namespace kv {

namespace {

// Adds a resource strip to the list; true when it was added.
bool AddStrip(ui::TImageList& list, const std::string& name, HBITMAP mask) {
  ui::TBitmap strip;
  if (!strip.LoadFromResource(name)) return false;
  if (!list.Handle()) list.Create(16, 16);
  return ImageList_Add(list.Handle(), strip.Handle(), mask) >= 0;
}

}  // namespace

TGlobals& TGlobals::Instance() {
  static TGlobals globals;
  return globals;
}

void TGlobals::LoadImages(int bitsPerPixel) {
  if (loaded1Enabled_) return;
  lowColor_ = bitsPerPixel < 9;
  const std::string suffix = lowColor_ ? "4" : "24";
  ui::TBitmap mask;
  // Monochrome, as an image list takes its masks.
  HANDLE loaded = LoadImageW(GetModuleHandleW(nullptr), L"BUTTON1MASK", IMAGE_BITMAP, 0, 0,
                             LR_MONOCHROME);
  if (loaded) mask.Adopt(static_cast<HBITMAP>(loaded));
  loaded1Enabled_ = AddStrip(ILButton1Enabled, "BUTTON1ENABLED" + suffix, mask.Handle());
  if (!lowColor_) AddStrip(ILButton1Disabled, "BUTTON1DISABLED" + suffix, mask.Handle());
  AddStrip(ILButton2Enabled, "BUTTON2ENABLED" + suffix, nullptr);
  if (!lowColor_) AddStrip(ILButton2Disabled, "BUTTON2DISABLED" + suffix, nullptr);
}

}  // namespace kv
