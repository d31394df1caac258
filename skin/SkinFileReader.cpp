#include "skin/SkinFileReader.h"

#include "framework/Exception.h"
#include "skin/BinaryFileStream.h"
#include "skin/SkinArchive.h"
#include "skin/TemporaryFile.h"

namespace plx {

Tsk2SkinFileReader::Tsk2SkinFileReader(const std::string& fileName, const std::string& password) {
  Load(fileName, password);
}

Tsk2SkinFileReader::~Tsk2SkinFileReader() = default;

void Tsk2SkinFileReader::Load(const std::string& fileName, const std::string& password) {
  data_loaded_ = false;
  // The extraction target is ours alone and goes on every path.
  const TTemporaryFile extracted = TTemporaryFile::CreateUnique("");
  const TExtractResult result = ExtractArchiveEntry(fileName, kSkinDataEntryName, extracted.Path(), password);
  if (result == erPasswordOrSize) return;
  if (result != erExtracted) throw Exception(kSkinReadFailedMessage);

  // Declared after the temporary file, so closed before it is deleted.
  TBinaryFileStream file(extracted.Path(), TBinaryFileStream::fmOpenRead);
  if (!file.IsOpen()) throw Exception(kSkinReadFailedMessage);
  // Each bitmap is decoded as its record is read: the raw values of the
  // whole skin are never held together with the bitmaps made from them.
  ForEachSkinRecord(file, [&](const TSkinRecord& record) {
    if (record.type == svBitmap) {
      auto bitmap = std::make_unique<TBitmap>();
      TReadOnlyMemoryStream value(record.value.data(), record.value.size());
      bitmap->LoadFromStream(value);
      bitmaps_.emplace_back(record.key, std::move(bitmap));
    } else {
      values_.AddRecord(record);
    }
  });
  data_loaded_ = true;
}

TBitmap* Tsk2SkinFileReader::GetBitmap(std::string_view key) const {
  for (const auto& [name, bitmap] : bitmaps_)
    if (SameSkinKey(name, key)) return bitmap.get();
  return nullptr;
}

void Tsk2SkinFileReader::SetBitmap(std::string_view key, const TBitmap& bitmap) {
  if (TBitmap* stored = GetBitmap(key)) stored->Assign(bitmap);
}

void Tsk2SkinFileReader::ProcessTransparentColor(TColor color) {
  for (const auto& entry : bitmaps_) {
    entry.second->SetTransparent(true);
    entry.second->SetTransparentColor(color);
  }
}

}  // namespace plx
