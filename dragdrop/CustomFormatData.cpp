#include "dragdrop/CustomFormatData.h"

#include "dragdrop/ClipboardFormats.h"
#include "framework/Exception.h"

namespace plx {

TCustomFormatData::TCustomFormatData(std::string formatName, std::string formatContent, LONG lindex, DWORD tymed)
    : format_name_(std::move(formatName)), format_content_(std::move(formatContent)), lindex_(lindex) {
  SetTymed(tymed);
}

FORMATETC TCustomFormatData::GetFormatEtc() const {
  return FORMATETC{static_cast<CLIPFORMAT>(ClipboardFormatFromString(format_name_)), nullptr, DVASPECT_CONTENT,
                   lindex_, tymed_};
}

TCustomFormatData& TCustomFormatDataList::AddFormat(std::string name, std::string content) {
  return AddFormatEx(std::move(name), std::move(content), 0, TYMED_HGLOBAL);
}

TCustomFormatData& TCustomFormatDataList::AddFormatEx(std::string name, std::string content, LONG lindex,
                                                      DWORD tymed) {
  items_.push_back(std::make_unique<TCustomFormatData>(std::move(name), std::move(content), lindex, tymed));
  return *items_.back();
}

TCustomFormatData& TCustomFormatDataList::Get(int index) const {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return *items_[static_cast<std::size_t>(index)];
}

void TCustomFormatDataList::Put(int index, std::unique_ptr<TCustomFormatData> item) {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  if (!item) throw EListError("No custom format item");
  items_[static_cast<std::size_t>(index)] = std::move(item);
}

}  // namespace plx
