#pragma once
// Pictures for markup: THTMLPicture keeps a picture file's bytes as loaded
// and decodes them through the platform's OLE picture loader; an animated GIF
// is shown one frame at a time by decoding the file with the frames before
// the current one left out. THTMLPictureCache holds the pictures markup
// loads by URL, found again by their source text.

#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Bitmap.h"
#include "framework/Com.h"
#include "framework/Exception.h"
#include "framework/Graphics.h"
#include "framework/Streams.h"

namespace plx {

using TDownloadErrorEvent = std::function<void(TObject* sender, const std::string& err)>;
using TDownloadCancelEvent = std::function<void(TObject* sender, bool& cancel)>;
using TDownloadProgressEvent = std::function<void(TObject* sender, std::uint32_t dwSize, std::uint32_t dwTotSize)>;

class THTMLPicture : public TGraphic {
 public:
  // Files beyond this size are not read: markup can name any file.
  static constexpr std::int64_t kMaxFileSize = 64ll * 1024 * 1024;

  THTMLPicture();
  ~THTMLPicture() override;

  // Loading: the bytes are kept and decoded, then OnChange. A file that
  // cannot be read or decoded leaves the picture empty and raises nothing;
  // the other loads raise the decoder's errors.
  void LoadFromFile(const std::string& name);
  void LoadFromStream(TStream& stream) override;
  // Raw-data resources (RT_RCDATA) of a module; by name only when it exists.
  void LoadFromResourceName(HINSTANCE module, const std::string& name);
  void LoadFromResourceID(HINSTANCE module, int id);
  // "RES://name" from the program's own resources, "FILE://path" from a
  // local file (never a network or device path); other URLs are only
  // recorded: there is no download.
  void LoadFromURL(const std::string& url);

  int Width() const override;
  int Height() const override;
  bool Empty() const override { return empty_; }
  bool GetEmpty() const { return empty_; }
  // The animation's logical screen for a GIF, else the picture's own size.
  int GetMaxWidth() const;
  int GetMaxHeight() const;

  // Stretched into r with Stretch, otherwise at r's top-left corner at its
  // natural size for the canvas' resolution.
  void Draw(TCanvas& canvas, const TRect& r) override;
  void DrawOn(HDC dc, const TRect& r);

  // Frames count from 1. GetFrameCount is -1 for data that is not a GIF.
  int GetFrameCount();
  // Delay of the frame in hundredths of a second, or -1.
  int GetFrameTime(int frame);
  int Frame() const { return frame_; }
  void SetFrame(int frame);
  void FrameNext();
  void FramePrev();
  // One tick of the 100 ms animation timer; true when the frame changed.
  bool Step();
  TPoint FrameOffset() const { return TPoint{offset_x_, offset_y_}; }

  bool Stretch() const { return stretch_; }
  void SetStretch(bool stretch) { stretch_ = stretch; }
  bool Asynchronous() const { return asynchronous_; }
  void SetAsynchronous(bool value) { asynchronous_ = value; }
  bool DownloadBusy() const { return busy_; }
  const std::string& Source() const { return source_; }
  const std::string& DownloadText() const { return download_; }
  int LogicalPixelsPerInchX() const { return pixels_per_inch_x_; }
  int LogicalPixelsPerInchY() const { return pixels_per_inch_y_; }
  const std::vector<std::uint8_t>& Data() const { return data_; }

  TNotifyEvent OnFrameChange;
  TDownloadErrorEvent OnDownLoadError;
  TNotifyEvent OnDownLoadComplete;
  TDownloadCancelEvent OnDownLoadCancel;
  TDownloadProgressEvent OnDownLoadProgress;

  void Assign(const TPersistent& source) override;
  std::unique_ptr<TGraphic> Clone() const override;

 private:
  void SetData(std::vector<std::uint8_t> bytes);  // keeps, decodes, OnChange
  void Decode();
  void LoadRawResource(HINSTANCE module, LPCSTR name);
  bool IsGifData() const;

  std::vector<std::uint8_t> data_;
  bool empty_ = true;
  TComPtr<IPicture> picture_;
  int pixels_per_inch_x_ = 96;
  int pixels_per_inch_y_ = 96;
  std::string source_;
  std::string download_;
  bool asynchronous_ = true;
  bool busy_ = false;
  bool stretch_ = false;
  int frame_ = 1;
  int frame_count_ = -1;
  std::int16_t offset_x_ = 0;
  std::int16_t offset_y_ = 0;
  int frame_width_ = 0;
  int frame_height_ = 0;
  std::int16_t animation_width_ = 0;
  std::int16_t animation_height_ = 0;
  bool frame_transparent_ = false;
  int frame_disposal_ = 0;
  int next_switch_ = -1;
  int ticks_ = -1;
};

// Owns the pictures markup loaded by URL.
class THTMLPictureCache {
 public:
  THTMLPictureCache() = default;
  THTMLPictureCache(const THTMLPictureCache&) = delete;
  THTMLPictureCache& operator=(const THTMLPictureCache&) = delete;
  ~THTMLPictureCache() { ClearPictures(); }

  // A new empty picture at the end of the list.
  THTMLPicture* AddPicture();
  // The first picture whose source text equals url exactly, or nullptr.
  THTMLPicture* FindPicture(const std::string& url) const;
  int Count() const { return static_cast<int>(pictures_.size()); }
  THTMLPicture* GetPicture(int index) const;
  // Copies picture into the entry at index.
  void SetPicture(int index, const THTMLPicture& picture);
  void ClearPictures() { pictures_.clear(); }
  // Steps every picture; true when any changed its frame.
  bool Animate();

 private:
  std::vector<std::unique_ptr<THTMLPicture>> pictures_;
};

}  // namespace plx
