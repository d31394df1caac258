#include "skin/SkinFileReader.h"

#include <windows.h>
#include <objbase.h>

#include "framework/Exception.h"
#include "skin/BinaryFileStream.h"
#include "skin/SkinArchive.h"

namespace plx {

namespace {

// Deletes the file when it goes out of scope, whatever happened meanwhile.
class TTemporaryFile {
 public:
  explicit TTemporaryFile(std::string path) : path_(std::move(path)) {}
  ~TTemporaryFile() {
    if (FileExists(path_)) DeleteFileAt(path_);
  }
  TTemporaryFile(const TTemporaryFile&) = delete;
  TTemporaryFile& operator=(const TTemporaryFile&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

std::string NewTemporaryPath(const std::string& extension) {
  char folder[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(MAX_PATH + 1, folder);
  if (length == 0 || length > MAX_PATH) throw Exception(kSkinReadFailedMessage);
  std::string path(folder, length);
  if (path.back() != '\\') path += '\\';

  GUID guid{};
  if (FAILED(CoCreateGuid(&guid))) throw Exception(kSkinReadFailedMessage);
  wchar_t text[40] = {};
  const int characters = StringFromGUID2(guid, text, 40);  // includes the terminating zero
  for (int i = 0; i + 1 < characters; ++i) path += static_cast<char>(text[i]);  // hex digits, braces and dashes
  return path + extension;
}

Tsk2SkinFileReader::Tsk2SkinFileReader(const std::string& fileName, const std::string& password) {
  Load(fileName, password);
}

Tsk2SkinFileReader::~Tsk2SkinFileReader() = default;

void Tsk2SkinFileReader::Load(const std::string& fileName, const std::string& password) {
  dataLoaded_ = false;
  TTemporaryFile extracted(NewTemporaryPath());
  const TExtractResult result = ExtractArchiveEntry(fileName, kSkinDataEntryName, extracted.Path(), password);
  if (result == erPasswordOrSize) return;
  if (result != erExtracted) throw Exception(kSkinReadFailedMessage);

  std::vector<TSkinRecord> records;
  {
    TBinaryFileStream file(extracted.Path(), TBinaryFileStream::fmOpenRead);
    if (!file.IsOpen()) throw Exception(kSkinReadFailedMessage);
    records = ReadSkinRecords(file);
  }  // closed before the temporary file is deleted
  for (const TSkinRecord& record : records) {
    if (record.type == svBitmap) {
      auto bitmap = std::make_unique<TBitmap>();
      TReadOnlyMemoryStream value(record.value.data(), record.value.size());
      bitmap->LoadFromStream(value);
      bitmaps_.emplace_back(record.key, std::move(bitmap));
    } else {
      values_.AddRecord(record);
    }
  }
  dataLoaded_ = true;
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
