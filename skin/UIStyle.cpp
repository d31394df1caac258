#include "skin/UIStyle.h"

#include <windows.h>

#include <array>

#include "framework/Forms.h"
#include "framework/Properties.h"
#include "skin/FileTheme.h"
#include "skin/SkinDraw.h"

namespace plx {

namespace {

constexpr int kStyleCount = 5;  // MacOS to BlueGlass

// One item of every built-in style; an item has the same type in each.
struct TItemRow {
  TkivType type;
  std::array<TkivThemeItem, kStyleCount> values;  // MacOS, WinXP, DeepBlue, Protein, BlueGlass
};

constexpr TkivType kInt = TkivType::Int;
constexpr TkivType kColor = TkivType::Color;
constexpr TkivType kStr = TkivType::Str;
constexpr TkivType kBool = TkivType::Bool;

constexpr TkivThemeItem Res(const char* name) { return {0, name}; }
constexpr TkivThemeItem N(std::int32_t value) { return {value, nullptr}; }

// The built-in styles, items 1 to 48. Colours are 0x00BBGGRR.
// clang-format off
constexpr std::array<TItemRow, kivThemeItemCount> kItems = {{
    // 1: push-button face strip, 3 frames
    {kStr, {Res("MACOS_BUTTON"), Res("WINXP_BUTTON"), Res("DEEPBLUE_BUTTON"), Res("PROTEIN_BUTTON"), Res("BLUEGLASS_BUTTON")}},
    // 2: push button Transparent
    {kBool, {N(1), N(0), N(0), N(0), N(1)}},
    // 3: check box strip
    {kStr, {Res("MACOS_CHECKBOX"), Res("WINXP_CHECKBOX"), Res("DEEPBLUE_CHECKBOX"), Res("PROTEIN_CHECKBOX"), Res("BLUEGLASS_CHECKBOX")}},
    // 4: radio button strip
    {kStr, {Res("MACOS_RADIOBUTTON"), Res("WINXP_RADIOBUTTON"), Res("DEEPBLUE_RADIOBUTTON"), Res("PROTEIN_RADIOBUTTON"), Res("BLUEGLASS_RADIOBUTTON")}},
    // 5: title-button strip, 18 frames
    {kStr, {Res("MACOS_TITLEBTN"), Res("WINXP_TITLEBTN"), Res("DEEPBLUE_TITLEBTN"), Res("PROTEIN_TITLEBTN"), Res("BLUEGLASS_TITLEBTN")}},
    // 6: title buttons Transparent
    {kBool, {N(0), N(0), N(0), N(1), N(1)}},
    // 7: title bar LeftBtnXOffset
    {kInt, {N(3), N(2), N(0), N(0), N(4)}},
    // 8: title bar RightBtnXOffset
    {kInt, {N(-2), N(-2), N(0), N(0), N(-3)}},
    // 9: top of the title buttons and of the title icon
    {kInt, {N(4), N(5), N(2), N(2), N(6)}},
    // 10: title bar left section
    {kStr, {Res("MACOS_TITLE_LEFT"), Res("WINXP_TITLE_LEFT"), Res("DEEPBLUE_TITLE_LEFT"), Res("PROTEIN_TITLE_LEFT"), Res("BLUEGLASS_TITLE_LEFT")}},
    // 11: title bar client (stretched) section
    {kStr, {Res("MACOS_TITLE_CLIENT"), Res("WINXP_TITLE_CLIENT"), Res("DEEPBLUE_TITLE_CLIENT"), Res("PROTEIN_TITLE_CLIENT"), Res("BLUEGLASS_TITLE_CLIENT")}},
    // 12: title bar right section
    {kStr, {Res("MACOS_TITLE_RIGHT"), Res("WINXP_TITLE_RIGHT"), Res("DEEPBLUE_TITLE_RIGHT"), Res("PROTEIN_TITLE_RIGHT"), Res("BLUEGLASS_TITLE_RIGHT")}},
    // 13: minimum width of the host form
    {kInt, {N(130), N(150), N(130), N(130), N(270)}},
    // 14: corner rounding (RoundCorner)
    {kInt, {N(0), N(13), N(0), N(0), N(11)}},
    // 15: frame panel colour; background of combo buttons, tool bar and menus
    {kColor, {N(0x00E7E7E7), N(0x00DEEBEF), N(0x00E8E8E8), N(0x00FBFBFB), N(0x00E7E7E7)}},
    // 16: frame BorderColor
    {kColor, {N(0x007F7F7F), N(0x00C82C00), N(0x00000000), N(0x00000000), N(0x00000000)}},
    // 17: frame BorderWidth
    {kInt, {N(1), N(3), N(1), N(1), N(1)}},
    // 18: menu colours (18 to 23): menu bar buttons of the frame and the menu components
    {kColor, {N(0x00C47339), N(0x00C66931), N(0x00A04A44), N(0x00C4302D), N(0x00EC5E5E)}},
    // 19: menu colour
    {kColor, {N(0x00C47339), N(0x00EFD3C6), N(0x00A04A44), N(0x00C4302D), N(0x00EC5E5E)}},
    // 20: menu colour; caption colour of the panel with caption bar
    {kColor, {N(0x00FFFFFF), N(0x00000000), N(0x00FFFFFF), N(0x00FFFFFF), N(0x00FFFFFF)}},
    // 21: menu colour
    {kColor, {N(0x00000000), N(0x00FFFFFF), N(0x00FFFFFF), N(0x00FFFFFF), N(0x00E7E7E7)}},
    // 22: menu colour
    {kColor, {N(0x00000000), N(0x00000000), N(0x00000000), N(0x00000000), N(0x00000000)}},
    // 23: menu colour
    {kColor, {N(0x00000000), N(0x00CED3D6), N(0x00CED3D6), N(0x00CED3D6), N(0x00CED3D6)}},
    // 24: progress bar
    {kStr, {Res("MACOS_PROGRESSBAR"), Res("WINXP_PROGRESSBAR"), Res("DEEPBLUE_PROGRESSBAR"), Res("PROTEIN_PROGRESSBAR"), Res("BLUEGLASS_PROGRESSBAR")}},
    // 25: border colour of edits, lists, grids, group boxes, panels
    {kColor, {N(0x007F7F7F), N(0x00686868), N(0x00000000), N(0x00000000), N(0x00000000)}},
    // 26: control colour (progress bar, grid)
    {kColor, {N(0x00E7E7E7), N(0x00DEEBEF), N(0x00E8E8E8), N(0x00FBFBFB), N(0x00E7E7E7)}},
    // 27: group box caption colour
    {kColor, {N(0x00000000), N(0x00CF4602), N(0x00000000), N(0x00000000), N(0x00000000)}},
    // 28: track bar
    {kStr, {Res("MACOS_TRACKBAR_BAR"), Res("WINXP_TRACKBAR_BAR"), Res("DEEPBLUE_TRACKBAR_BAR"), Res("PROTEIN_TRACKBAR_BAR"), Res("BLUEGLASS_TRACKBAR_BAR")}},
    // 29: track bar slider
    {kStr, {Res("MACOS_TRACKBAR_SLIDER"), Res("WINXP_TRACKBAR_SLIDER"), Res("DEEPBLUE_TRACKBAR_SLIDER"), Res("PROTEIN_TRACKBAR_SLIDER"), Res("BLUEGLASS_TRACKBAR_SLIDER")}},
    // 30: vertical track bar slider
    {kStr, {Res("MACOS_TRACKBAR_SLIDER_V"), Res("WINXP_TRACKBAR_SLIDER_V"), Res("DEEPBLUE_TRACKBAR_SLIDER_V"), Res("PROTEIN_TRACKBAR_SLIDER_V"), Res("BLUEGLASS_TRACKBAR_SLIDER_V")}},
    // 31: scroll bar colour
    {kColor, {N(0x00C9C9C9), N(0x00F9F9F9), N(0x00F5F5F5), N(0x00F5F5F5), N(0x00F4F4F4)}},
    // 32: scroll bar buttons
    {kStr, {Res("MACOS_SCROLLBAR_BUTTON"), Res("WINXP_SCROLLBAR_BUTTON"), Res("DEEPBLUE_SCROLLBAR_BUTTON"), Res("PROTEIN_SCROLLBAR_BUTTON"), Res("BLUEGLASS_SCROLLBAR_BUTTON")}},
    // 33: scroll bar track
    {kStr, {Res("MACOS_SCROLLBAR_TRACK"), Res("WINXP_SCROLLBAR_TRACK"), Res("DEEPBLUE_SCROLLBAR_TRACK"), Res("PROTEIN_SCROLLBAR_TRACK"), Res("BLUEGLASS_SCROLLBAR_TRACK")}},
    // 34: check list box marks
    {kStr, {Res("MACOS_CHECKLIST"), Res("WINXP_CHECKLIST"), Res("DEEPBLUE_CHECKLIST"), Res("PROTEIN_CHECKLIST"), Res("BLUEGLASS_CHECKLIST")}},
    // 35: tool bar colours (35 to 37)
    {kColor, {N(0x00474747), N(0x00C66931), N(0x00474747), N(0x00474747), N(0x00474747)}},
    // 36: tool bar colour
    {kColor, {N(0x00EFEFEF), N(0x00EFD3C6), N(0x00EFEFEF), N(0x00EFEFEF), N(0x00EFEFEF)}},
    // 37: tool bar colour
    {kColor, {N(0x00D8D8D8), N(0x00E1AC93), N(0x00D8D8D8), N(0x00D8D8D8), N(0x00D8D8D8)}},
    // 38: scroll buttons
    {kStr, {Res("MACOS_SCROLLBUTTON"), Res("WINXP_SCROLLBUTTON"), Res("MORE_SCROLLBUTTON"), Res("MORE_SCROLLBUTTON"), Res("MORE_SCROLLBUTTON")}},
    // 39: tab
    {kStr, {Res("MACOS_TAB"), Res("WINXP_TAB"), Res("DEEPBLUE_TAB"), Res("PROTEIN_TAB"), Res("BLUEGLASS_TAB")}},
    // 40: tab line
    {kStr, {Res("MACOS_TAB_LINE"), Res("WINXP_TAB_LINE"), Res("DEEPBLUE_TAB_LINE"), Res("PROTEIN_TAB_LINE"), Res("BLUEGLASS_TAB_LINE")}},
    // 41: side channel handle
    {kStr, {Res("MACOS_SIDECHENNEL_HANDLE"), Res("WINXP_SIDECHENNEL_HANDLE"), Res("DEEPBLUE_SIDECHENNEL_HANDLE"), Res("PROTEIN_SIDECHENNEL_HANDLE"), Res("BLUEGLASS_SIDECHENNEL_HANDLE")}},
    // 42: side channel bar; caption bar of the panel
    {kStr, {Res("MACOS_SIDECHENNEL_BAR"), Res("WINXP_SIDECHENNEL_BAR"), Res("DEEPBLUE_SIDECHENNEL_BAR"), Res("PROTEIN_SIDECHENNEL_BAR"), Res("BLUEGLASS_SIDECHENNEL_BAR")}},
    // 43: none
    {kStr, {Res(""), Res(""), Res(""), Res(""), Res("")}},
    // 44: none in this program
    {kColor, {N(0x00000000), N(0x00FFFFFF), N(0x00FFFFFF), N(0x00FFFFFF), N(0x00FFFFFF)}},
    // 45: none
    {kStr, {Res(""), Res(""), Res(""), Res(""), Res("")}},
    // 46: none
    {kStr, {Res(""), Res(""), Res(""), Res(""), Res("")}},
    // 47: none in this program
    {kInt, {N(0), N(0), N(0), N(0), N(0)}},
    // 48: none in this program
    {kColor, {N(0x00E7E7E7), N(0x00DEEBEF), N(0x00E8E8E8), N(0x00FBFBFB), N(0x00E7E7E7)}},
}};
// clang-format on

bool HasTable(TkivUIStyle style) {
  return style >= TkivUIStyle::MacOS && style <= TkivUIStyle::BlueGlass;
}

bool ValidItem(int item) { return item >= 1 && item <= kivThemeItemCount; }

// The item's type in a style; styles without a table read every item as Int.
TkivType TypeIn(TkivUIStyle style, int item) {
  return HasTable(style) ? BuiltInItemType(item) : TkivType::Int;
}

}  // namespace

TkivType BuiltInItemType(int item) {
  return ValidItem(item) ? kItems[static_cast<std::size_t>(item - 1)].type : TkivType::Int;
}

TkivThemeItem BuiltInItem(TkivUIStyle style, int item) {
  if (!HasTable(style) || !ValidItem(item)) return {-1, nullptr};
  const std::size_t column = static_cast<std::size_t>(style) - static_cast<std::size_t>(TkivUIStyle::MacOS);
  return kItems[static_cast<std::size_t>(item - 1)].values[column];
}

bool UsingFileTheme(const TkivFileTheme* fileTheme, TkivUIStyle style, TkivUIStyle& effectiveStyle) {
  effectiveStyle = style;
  if (style != TkivUIStyle::FromThemeFile) return false;
  if (fileTheme != nullptr && fileTheme->Ready()) return true;
  effectiveStyle = kivFallbackStyle;
  return false;
}

void GetInsideThemeBitmap(TkivUIStyle style, int item, TBitmap& bitmap, int subIndex, int subCount) {
  if (TypeIn(style, item) != TkivType::Str) {
    if (subCount != 0) bitmap.SetSize(0, 0);
    return;
  }
  const TkivThemeItem value = BuiltInItem(style, item);
  TBitmap whole;
  if (value.Name != nullptr && value.Name[0] != '\0') {
    try {
      whole.LoadFromResourceName(GetModuleHandleA(nullptr), value.Name);
    } catch (const Exception&) {
      whole.SetSize(0, 0);  // a picture that cannot be loaded draws as none
    }
  }
  if (subCount != 0)
    SpitBitmap(whole, bitmap, subCount, subIndex);
  else
    bitmap.Assign(whole);
}

bool GetInsideThemeBool(TkivUIStyle style, int item) {
  return TypeIn(style, item) == TkivType::Bool && BuiltInItem(style, item).Value != 0;
}

TColor GetInsideThemeColor(TkivUIStyle style, int item) {
  return TypeIn(style, item) == TkivType::Color ? static_cast<TColor>(BuiltInItem(style, item).Value) : 0;
}

int GetInsideThemeInt(TkivUIStyle style, int item) {
  return TypeIn(style, item) == TkivType::Int ? BuiltInItem(style, item).Value : -1;
}

TkivUIStyle GetKIVFormStyle(TComponent* component) {
  auto* form = dynamic_cast<TForm*>(component);
  if (form == nullptr) return kivFallbackStyle;
  for (int i = 0; i < form->ControlCount(); ++i)
    if (const auto* frame = dynamic_cast<const TkivFormStyleSource*>(form->Controls(i))) return frame->FormUIStyle();
  return kivFallbackStyle;
}

void ContainerApplyUIStyle(TWinControl* container, TkivUIStyle style, TkivFileTheme* fileTheme) {
  if (container == nullptr) return;
  for (int i = 0; i < container->ControlCount(); ++i) {
    TControl* child = container->Controls(i);
    if (!IsHasProperty(child, "FileTheme") || !IsHasProperty(child, "UIStyle")) continue;
    SetComponentProp(child, "FileTheme", fileTheme);
    SetIntProp(child, "UIStyle", static_cast<long long>(style));
  }
}

bool IsHasProperty(const TComponent* component, std::string_view name) {
  if (component == nullptr) return false;
  const TPropertyTable* table = component->PublishedProperties();
  return table != nullptr && table->Find(name) != nullptr;
}

}  // namespace plx
