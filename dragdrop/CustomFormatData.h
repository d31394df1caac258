#pragma once
// The custom formats a text source offers instead of plain text: each one a
// format name, its content and the FORMATETC fields to offer it with.

#include <windows.h>
#include <ole2.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Component.h"

namespace plx {

class TCustomFormatData : public TObject {
 public:
  TCustomFormatData() = default;
  TCustomFormatData(std::string formatName, std::string formatContent, LONG lindex = 0,
                    DWORD tymed = TYMED_HGLOBAL);

  // A format number from 1 to 16 in decimal, or a registered format's name.
  const std::string& FormatName() const { return format_name_; }
  void SetFormatName(std::string name) { format_name_ = std::move(name); }
  // The data; for the media TYMED_ISTREAM and TYMED_ISTORAGE the interface
  // pointer, all of its bytes (EncodeHandleToString); for TYMED_GDI and
  // TYMED_ENHMF the handle, in 4 bytes (EncodeDWORDToString) or pointer-wide.
  const std::string& FormatContent() const { return format_content_; }
  void SetFormatContent(std::string content) { format_content_ = std::move(content); }
  LONG Lindex() const { return lindex_; }
  void SetLindex(LONG lindex) { lindex_ = lindex; }
  DWORD Tymed() const { return tymed_; }
  // 0 stores TYMED_HGLOBAL.
  void SetTymed(DWORD tymed) { tymed_ = tymed == 0 ? static_cast<DWORD>(TYMED_HGLOBAL) : tymed; }

  // Whether a global block of this format ends in a zero byte after the
  // content: only on TYMED_HGLOBAL, and only while the flag is set.
  bool GetAllowTrailingNull() const { return tymed_ == TYMED_HGLOBAL && allow_trailing_null_; }
  void SetAllowTrailingNull(bool value) { allow_trailing_null_ = value; }

  // The format's number (registering the name if need be), no target
  // device, DVASPECT_CONTENT, the item's lindex and medium.
  FORMATETC GetFormatEtc() const;

 private:
  std::string format_name_;
  std::string format_content_;
  LONG lindex_ = 0;
  DWORD tymed_ = TYMED_HGLOBAL;
  bool allow_trailing_null_ = true;
};

// An ordered list that owns its items.
class TCustomFormatDataList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  bool Empty() const { return items_.empty(); }
  // = AddFormatEx(name, content, 0, TYMED_HGLOBAL).
  TCustomFormatData& AddFormat(std::string name, std::string content);
  TCustomFormatData& AddFormatEx(std::string name, std::string content, LONG lindex, DWORD tymed);
  // Frees every item.
  void Clear() { items_.clear(); }
  // Raise EListError for an index outside the list.
  TCustomFormatData& Get(int index) const;
  // Replaces the item at index, freeing the one it held.
  void Put(int index, std::unique_ptr<TCustomFormatData> item);

 private:
  std::vector<std::unique_ptr<TCustomFormatData>> items_;
};

}  // namespace plx
