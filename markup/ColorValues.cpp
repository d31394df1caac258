#include "markup/ColorValues.h"

#include <cstdint>

#include "markup/TextSearch.h"

namespace plx {

namespace {

struct NamedColor {
  std::string_view Name;
  TColor Color;
};

constexpr NamedColor kBasicColors[] = {
    {"clred", clRed},       {"clblack", clBlack},   {"clblue", clBlue},     {"clgreen", clGreen},
    {"claqua", clAqua},     {"clyellow", clYellow}, {"clfuchsia", clFuchsia}, {"clwhite", clWhite},
    {"cllime", clLime},     {"clsilver", clSilver}, {"clgray", clGray},     {"clolive", clOlive},
    {"clnavy", clNavy},     {"clpurple", clPurple}, {"clteal", clTeal},     {"clmaroon", clMaroon},
};

constexpr NamedColor kSystemColors[] = {
    {"clbackground", clBackground},
    {"clactivecaption", clActiveCaption},
    {"clinactivecaption", clInactiveCaption},
    {"clmenu", clMenu},
    {"clwindow", clWindow},
    {"clwindowframe", clWindowFrame},
    {"clmenutext", clMenuText},
    {"clwindowtext", clWindowText},
    {"clcaptiontext", clCaptionText},
    {"clactiveborder", clActiveBorder},
    {"clinactiveborder", clInactiveBorder},
    {"clappworkspace", clAppWorkSpace},
    {"clhighlight", clHighlight},
    {"clhighlighttext", clHighlightText},
    {"clbtnface", clBtnFace},
    {"clbtnshadow", clBtnShadow},
    {"clgraytext", clGrayText},
    {"clbtntext", clBtnText},
    {"clinactivecaptiontext", clInactiveCaptionText},
    {"clbtnhighlight", clBtnHighlight},
    {"cl3ddkshadow", cl3DDkShadow},
    {"cl3dlight", cl3DLight},
    {"clinfotext", clInfoText},
    {"clinfobk", clInfoBk},
};

int HexDigitValue(char c) {
  const int code = static_cast<unsigned char>(c);
  return code <= 64 ? code - 48 : code - 55;
}

// The pair starting at `offset`, or an empty text when the offset is past the end.
std::string_view PairAt(std::string_view text, std::size_t offset) {
  return offset < text.size() ? text.substr(offset, 2) : std::string_view();
}

}  // namespace

int HexPairValue(std::string_view text) {
  if (text.size() < 2) return 0;
  return 16 * HexDigitValue(text[0]) + HexDigitValue(text[1]);
}

TColor ColorFromHex(std::string_view text) {
  const std::int32_t red = HexPairValue(PairAt(text, 1));
  const std::int32_t green = HexPairValue(PairAt(text, 3));
  const std::int32_t blue = HexPairValue(PairAt(text, 5));
  // Pair values lie in -816..3400, so the sum fits comfortably; a negative sum
  // becomes its 32-bit two's complement pattern.
  return static_cast<TColor>(red + 256 * green + 65536 * blue);
}

TColor ColorFromName(std::string_view lowerCaseName) {
  for (const NamedColor& row : kBasicColors) {
    // A basic match of 0 ("clblack") falls through to the system names, where
    // it matches nothing and stays 0.
    if (row.Name == lowerCaseName && row.Color != 0) return row.Color;
  }
  for (const NamedColor& row : kSystemColors) {
    if (row.Name == lowerCaseName) return row.Color;
  }
  return clBlack;
}

std::optional<TColor> ColorFromAttribute(std::string_view value) {
  if (value.empty()) return std::nullopt;
  if (value[0] == '#') return ColorFromHex(value);
  return ColorFromName(AsciiLowerCase(value));
}

}  // namespace plx
