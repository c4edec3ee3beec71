#pragma once
// Picture strips shared by image-strip controls: TSharedImage holds one picture and the
// controls that show it; TFrameImage cuts the picture into equal frames side by side or one
// below the other. The picture itself is behind TImagePicture so the frame arithmetic runs
// without a window system; the Windows picture is a bitmap (controls/win/img_control.h).
// Main thread only.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/event.h"
#include "ui/geometry.h"

namespace kv {

class TImagePicture {
 public:
  virtual ~TImagePicture() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  bool Empty() const { return Width() <= 0 || Height() <= 0; }
};

// Where an image draws: a copy from its picture, or the empty mark (two crossing lines).
class TImageDrawTarget {
 public:
  virtual ~TImageDrawTarget() = default;
  virtual void CopyPicture(const TImagePicture& picture, ui::TRect source, ui::TPoint dest) = 0;
  virtual void DrawEmptyMark(ui::TRect rect) = 0;
};

// A control that shows an image hears of its changes through this.
class TImageClient {
 public:
  virtual void ImageChanged() = 0;
  // The image is going away; the client must forget it (it then shows no image).
  virtual void ImageDestroyed() = 0;

 protected:
  ~TImageClient() = default;
};

enum class TStripOrientation { sbHorizontal, sbVertical };

// The screen's colour depth, read once at start and replaced by display changes.
int ScreenBitDepth();
void SetScreenBitDepth(int bitsPerPixel);
// A display change to newBits: stores it and returns true when old and new depth lie on
// different sides of 8 bits per pixel (so images must reload their resource pictures).
bool ScreenDepthChanged(int newBits);
// Loads a bitmap resource of the program by name; nullptr when it cannot. Set by the
// Windows side; without a loader nothing loads.
using TPictureResourceLoader = std::function<std::unique_ptr<TImagePicture>(const std::string&)>;
void SetPictureResourceLoader(TPictureResourceLoader loader);

class TSharedImage {
 public:
  TSharedImage() = default;
  virtual ~TSharedImage();
  TSharedImage(const TSharedImage&) = delete;
  TSharedImage& operator=(const TSharedImage&) = delete;

  const TImagePicture* Bitmap() const { return picture_.get(); }
  // Takes the picture and its whole size as Width and Height (what a form does at run time).
  void SetBitmap(std::unique_ptr<TImagePicture> picture);
  // The picture changed in place (or was replaced by a resource): the image re-derives its
  // sizes and tells its controls.
  void ReplacePicture(std::unique_ptr<TImagePicture> picture);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool AlwaysDisplayEmpty() const { return alwaysEmpty_; }
  void SetAlwaysDisplayEmpty(bool v);
  const std::string& ResBitmap() const { return resBitmap_; }
  const std::string& ResBitmap256() const { return resBitmap256_; }
  void SetResBitmap(std::string name);
  void SetResBitmap256(std::string name);
  // The resource for the current screen: ResBitmap at 15 bits or more when set, else
  // ResBitmap256.
  std::string ResourceName() const;
  // Loads the resource picture; a failure keeps the picture as it was.
  void LoadResBitmap();
  // The form finished loading this image.
  virtual void Loaded();

  ui::TNotifyEvent OnChange;

  void AddClient(TImageClient* client);
  void RemoveClient(TImageClient* client);
  size_t ClientCount() const { return clients_.size(); }

  virtual void Draw(TImageDrawTarget& target, int index, int x, int y, int width, int height) const;

 protected:
  virtual void BitmapChanged();
  void Notify();
  bool PictureEmpty() const { return !picture_ || picture_->Empty(); }
  int PictureWidth() const { return picture_ ? picture_->Width() : 0; }
  int PictureHeight() const { return picture_ ? picture_->Height() : 0; }

  int width_ = 0;
  int height_ = 0;
  bool loading_ = false;

 private:
  std::unique_ptr<TImagePicture> picture_;
  std::vector<TImageClient*> clients_;  // not owned
  bool alwaysEmpty_ = false;
  std::string resBitmap_, resBitmap256_;
};

class TFrameImage : public TSharedImage {
 public:
  int Count() const { return count_; }
  void SetCount(int v);   // negative values are ignored
  void SetWidth(int v);   // frame width; negative ignored
  void SetHeight(int v);  // frame height; negative ignored
  TStripOrientation Orientation() const { return orientation_; }
  void SetOrientation(TStripOrientation v);
  int SeparatorSize() const { return separator_; }
  void SetSeparatorSize(int v);  // negative values are ignored
  bool Button() const { return button_; }
  void SetButton(bool v) { button_ = v; }
  bool TwoState() const { return twoState_; }
  void SetTwoState(bool v) { twoState_ = v; }

  // Stored values as a form sets them before Loaded (no size steps run meanwhile).
  void BeginLoading() { loading_ = true; }
  void Loaded() override;

  // Top-left corner of frame index in the picture.
  ui::TPoint FrameOrigin(int index) const;
  void Draw(TImageDrawTarget& target, int index, int x, int y, int width,
            int height) const override;

 protected:
  void BitmapChanged() override;

 private:
  bool CanSize() const { return !loading_ && !PictureEmpty(); }
  void SizeFromCount();
  void ClampSize();
  void CountFromSize();

  int count_ = 0;
  TStripOrientation orientation_ = TStripOrientation::sbHorizontal;
  int separator_ = 0;
  bool button_ = false;
  bool twoState_ = false;
};

}  // namespace kv
