#include "dragdrop/TextFormatKinds.h"

#include <string>
#include <vector>

namespace plx {

namespace {

std::string UpperAscii(const std::string& text) {
  std::string upper = text;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

class TUpperCasedList {
 public:
  explicit TUpperCasedList(const TStringList& formats) {
    for (int i = 0; i < formats.Count(); ++i) names_.push_back(UpperAscii(formats.Strings(i)));
  }
  bool Has(const char* name) const {
    for (const std::string& entry : names_) {
      if (entry == name) return true;
    }
    return false;
  }
  int Count() const { return static_cast<int>(names_.size()); }

 private:
  std::vector<std::string> names_;
};

}  // namespace

TDropTextFormats TextFormatsFromFormatList(const TStringList& formats) {
  const TUpperCasedList names(formats);
  TDropTextFormats kinds;
  int recognised = 0;
  auto addIf = [&](bool present, TDropTextFormat kind) {
    if (!present) return;
    kinds.Include(kind);
    ++recognised;
  };
  addIf(names.Has("1"), dtfText);
  addIf(names.Has("UNIFORMRESOURCELOCATOR") || names.Has("NETSCAPE BOOKMARK"), dtfURL);
  addIf(names.Has("15"), dtfFiles);
  addIf(names.Has("HTML FORMAT"), dtfIEHTML);
  addIf(names.Has("RICH TEXT FORMAT"), dtfRichText);
  // Each recognised kind accounts for one entry; anything left over is a
  // format only a custom list could name.
  if (recognised < names.Count()) kinds.Include(dtfCustom);
  return kinds;
}

TDropGraphicFormats GraphicFormatsFromFormatList(const TStringList& formats) {
  const TUpperCasedList names(formats);
  TDropGraphicFormats kinds;
  if (names.Has("2") || names.Has("8") || names.Has("NETSCAPE IMAGE FORMAT")) kinds.Include(dgfBitmap);
  if (names.Has("14")) kinds.Include(dgfMetafile);
  return kinds;
}

}  // namespace plx
