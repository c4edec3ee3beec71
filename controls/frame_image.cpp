#include "controls/frame_image.h"

#include <algorithm>

namespace kv {

namespace {

int gScreenBitDepth = 32;

TPictureResourceLoader& Loader() {
  static TPictureResourceLoader loader;
  return loader;
}

}  // namespace

int ScreenBitDepth() {
  return gScreenBitDepth;
}

void SetScreenBitDepth(int bitsPerPixel) {
  gScreenBitDepth = bitsPerPixel;
}

bool ScreenDepthChanged(int newBits) {
  const bool crosses = (gScreenBitDepth <= 8) != (newBits <= 8);
  gScreenBitDepth = newBits;
  return crosses;
}

void SetPictureResourceLoader(TPictureResourceLoader loader) {
  Loader() = std::move(loader);
}

// ---------------------------------------------------------------- TSharedImage

TSharedImage::~TSharedImage() {
  // Each control forgets this image before it goes; the list is copied because a control
  // leaving removes itself from it.
  const auto clients = clients_;
  clients_.clear();
  for (TImageClient* c : clients) c->ImageDestroyed();
}

void TSharedImage::SetBitmap(std::unique_ptr<TImagePicture> picture) {
  picture_ = std::move(picture);
  // While a form loads, the stored frame sizes are set too and settle in Loaded.
  if (!loading_) {
    width_ = PictureWidth();
    height_ = PictureHeight();
  }
  Notify();
}

void TSharedImage::ReplacePicture(std::unique_ptr<TImagePicture> picture) {
  picture_ = std::move(picture);
  BitmapChanged();
}

void TSharedImage::BitmapChanged() {
  width_ = PictureWidth();
  height_ = PictureHeight();
  Notify();
}

void TSharedImage::SetAlwaysDisplayEmpty(bool v) {
  if (v == alwaysEmpty_) return;
  alwaysEmpty_ = v;
  Notify();
}

void TSharedImage::SetResBitmap(std::string name) {
  resBitmap_ = std::move(name);
  if (!loading_) LoadResBitmap();
}

void TSharedImage::SetResBitmap256(std::string name) {
  resBitmap256_ = std::move(name);
  if (!loading_) LoadResBitmap();
}

std::string TSharedImage::ResourceName() const {
  if (ScreenBitDepth() >= 15 && !resBitmap_.empty()) return resBitmap_;
  return resBitmap256_;
}

void TSharedImage::LoadResBitmap() {
  const std::string name = ResourceName();
  if (name.empty() || !Loader()) return;
  std::unique_ptr<TImagePicture> picture = Loader()(name);
  if (picture) ReplacePicture(std::move(picture));
}

void TSharedImage::Loaded() {
  loading_ = false;
  LoadResBitmap();
}

void TSharedImage::Notify() {
  OnChange();
  const auto clients = clients_;
  for (TImageClient* c : clients) c->ImageChanged();
}

void TSharedImage::AddClient(TImageClient* client) {
  if (client == nullptr) return;
  if (std::find(clients_.begin(), clients_.end(), client) == clients_.end()) {
    clients_.push_back(client);
  }
  client->ImageChanged();
}

void TSharedImage::RemoveClient(TImageClient* client) {
  clients_.erase(std::remove(clients_.begin(), clients_.end(), client), clients_.end());
  if (client != nullptr) client->ImageChanged();
}

void TSharedImage::Draw(TImageDrawTarget& target, int /*index*/, int x, int y, int width,
                        int height) const {
  if (!alwaysEmpty_ && !PictureEmpty()) {
    target.CopyPicture(*picture_, ui::TRect::FromBounds(0, 0, width, height), {x, y});
  } else {
    target.DrawEmptyMark(ui::TRect::FromBounds(x, y, width, height));
  }
}

// ---------------------------------------------------------------- TFrameImage

void TFrameImage::SizeFromCount() {
  if (!CanSize()) return;
  if (count_ < 1) {
    ClampSize();
    return;
  }
  if (orientation_ == TStripOrientation::sbHorizontal) {
    width_ = std::max(0, (PictureWidth() + separator_) / count_ - separator_);
    height_ = PictureHeight();
  } else {
    height_ = std::max(0, (PictureHeight() + separator_) / count_ - separator_);
    width_ = PictureWidth();
  }
}

void TFrameImage::ClampSize() {
  if (!CanSize()) return;
  width_ = std::min(width_, PictureWidth());
  height_ = std::min(height_, PictureHeight());
}

void TFrameImage::CountFromSize() {
  if (!CanSize()) return;
  const bool horizontal = orientation_ == TStripOrientation::sbHorizontal;
  const int frame = horizontal ? width_ : height_;
  const int extent = horizontal ? PictureWidth() : PictureHeight();
  if (frame >= 1) {
    // The separator is never negative, so the step is at least one pixel.
    count_ = (extent + separator_) / (separator_ + frame);
  } else if (count_ >= 1) {
    SizeFromCount();
  }
}

void TFrameImage::SetCount(int v) {
  if (v < 0 || v == count_) return;
  count_ = v;
  SizeFromCount();
  Notify();
}

void TFrameImage::SetWidth(int v) {
  if (v < 0 || v == width_) return;
  width_ = v;
  ClampSize();
  CountFromSize();
  Notify();
}

void TFrameImage::SetHeight(int v) {
  if (v < 0 || v == height_) return;
  height_ = v;
  ClampSize();
  CountFromSize();
  Notify();
}

void TFrameImage::SetOrientation(TStripOrientation v) {
  if (v == orientation_) return;
  orientation_ = v;
  SizeFromCount();
  CountFromSize();
  Notify();
}

void TFrameImage::SetSeparatorSize(int v) {
  // A negative separator would make the frame step zero or negative and the count a
  // division by it.
  if (v < 0 || v == separator_) return;
  separator_ = v;
  SizeFromCount();
  CountFromSize();
  Notify();
}

void TFrameImage::BitmapChanged() {
  if (count_ <= 0) {
    ClampSize();
  } else {
    SizeFromCount();
  }
  Notify();
}

void TFrameImage::Loaded() {
  // The resource picture comes in without re-deriving the stored frame size; the steps
  // after it settle the count from that size.
  loading_ = true;
  LoadResBitmap();
  loading_ = false;
  ClampSize();
  CountFromSize();
  Notify();
}

ui::TPoint TFrameImage::FrameOrigin(int index) const {
  if (orientation_ == TStripOrientation::sbHorizontal) return {index * (width_ + separator_), 0};
  return {0, index * (height_ + separator_)};
}

void TFrameImage::Draw(TImageDrawTarget& target, int index, int x, int y, int width,
                       int height) const {
  if (!AlwaysDisplayEmpty() && !PictureEmpty() && count_ > 0) {
    const ui::TPoint o = FrameOrigin(index);
    target.CopyPicture(*Bitmap(), ui::TRect::FromBounds(o.x, o.y, width, height), {x, y});
  } else {
    target.DrawEmptyMark(ui::TRect::FromBounds(x, y, width, height));
  }
}

}  // namespace kv
