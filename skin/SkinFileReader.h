#pragma once
// Tsk2SkinFileReader: a skin archive turned into a store of bitmaps,
// integers (colours among them), booleans and strings, queried by key.

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/Bitmap.h"
#include "framework/Component.h"
#include "skin/SkinRecords.h"
#include "skin/TemporaryFile.h"

namespace plx {

class Tsk2SkinFileReader : public TObject {
 public:
  // Loads at once; an error of Load leaves the constructor.
  Tsk2SkinFileReader(const std::string& fileName, const std::string& password);
  ~Tsk2SkinFileReader() override;

  // Extracts the archive's record file into a temporary file (always
  // deleted again) and reads every record. A missing or wrong password
  // returns quietly with DataLoaded() false; any other failure raises
  // "Failed to read skin file!", and a bitmap that cannot be read raises
  // the bitmap's error.
  void Load(const std::string& fileName, const std::string& password);
  bool DataLoaded() const { return data_loaded_; }

  // The stored bitmap, owned by the reader; nullptr when the key is missing.
  TBitmap* GetBitmap(std::string_view key) const;
  std::int32_t GetInteger(std::string_view key) const { return values_.GetInteger(key); }
  bool GetBool(std::string_view key) const { return values_.GetBool(key); }
  std::string GetStr(std::string_view key) const { return values_.GetStr(key); }

  // Copies the picture into the stored bitmap; nothing when the key is missing.
  void SetBitmap(std::string_view key, const TBitmap& bitmap);
  void SetInteger(std::string_view key, std::int32_t value) { values_.SetInteger(key, value); }
  void SetBool(std::string_view key, bool value) { values_.SetBool(key, value); }
  // Makes every stored bitmap transparent with the given fixed colour.
  void ProcessTransparentColor(TColor color);

 private:
  std::vector<std::pair<std::string, std::unique_ptr<TBitmap>>> bitmaps_;
  TSkinValueLists values_;
  bool data_loaded_ = false;
};

}  // namespace plx
