#pragma once
// The look of a skinned control: one of five built-in styles compiled into
// the program, or the skin held by a file theme. Every skinned control
// carries a UIStyle and a non-owning FileTheme and decides between the two
// with UsingFileTheme alone; DeepBlue is the fallback.

#include <cstdint>
#include <string_view>

#include "framework/Bitmap.h"

namespace plx {

class TComponent;
class TWinControl;
class TkivFileTheme;

enum class TkivUIStyle : std::uint8_t { FromThemeFile, MacOS, WinXP, DeepBlue, Protein, BlueGlass };

// The style every skinned control starts in and falls back to.
inline constexpr TkivUIStyle kivFallbackStyle = TkivUIStyle::DeepBlue;

// The value type of a built-in style item. A Str item names a bitmap
// resource of the program.
enum class TkivType : std::uint8_t { Int, Color, Str, Bool };

// One item of one built-in style: a number (integer, colour or boolean) or
// the name of a bitmap resource ("" for none).
struct TkivThemeItem {
  std::int32_t Value = 0;
  const char* Name = nullptr;
};

// The built-in items, numbered from 1, that the skinned controls of this
// program read.
enum TkivThemeItemNumber : int {
  kivItemButtonFace = 1,            // push-button face strip, 3 frames
  kivItemButtonTransparent = 2,     // push button Transparent
  kivItemTitleButtons = 5,          // title-button strip, 18 frames
  kivItemTitleButtonsTransparent = 6,
  kivItemLeftBtnXOffset = 7,
  kivItemRightBtnXOffset = 8,
  kivItemTitleButtonTop = 9,        // top of the title buttons and icon
  kivItemTitleLeft = 10,
  kivItemTitleClient = 11,
  kivItemTitleRight = 12,
  kivItemFormMinWidth = 13,
  kivItemRoundCorner = 14,
  kivItemFormColor = 15,
  kivItemBorderColor = 16,
  kivItemBorderWidth = 17,
};
inline constexpr int kivThemeItemCount = 48;

// The type of an item; items outside 1..48 read as Int.
TkivType BuiltInItemType(int item);
// The item of a built-in style; FromThemeFile, a value above BlueGlass or an
// item outside 1..48 read as the Int -1.
TkivThemeItem BuiltInItem(TkivUIStyle style, int item);

// The one rule: true when the control draws from fileTheme (style is
// FromThemeFile and the theme is given and ready). effectiveStyle is the
// built-in style to draw otherwise: style itself, or DeepBlue when the skin
// cannot be used.
bool UsingFileTheme(const TkivFileTheme* fileTheme, TkivUIStyle style, TkivUIStyle& effectiveStyle);

// For a Str item: the named bitmap resource, or with subCount not 0 only
// frame subIndex (1-based) of subCount equal frames; a resource that cannot
// be loaded gives an empty bitmap. For another type: bitmap unchanged when
// subCount is 0, emptied otherwise.
void GetInsideThemeBitmap(TkivUIStyle style, int item, TBitmap& bitmap, int subIndex = 0, int subCount = 0);
bool GetInsideThemeBool(TkivUIStyle style, int item);    // false unless a Bool item
TColor GetInsideThemeColor(TkivUIStyle style, int item);  // 0 unless a Color item
int GetInsideThemeInt(TkivUIStyle style, int item);       // -1 unless an Int item

// The skinned frame panel answers its style through this, so that controls
// created on its form can start in it.
class TkivFormStyleSource {
 public:
  virtual TkivUIStyle FormUIStyle() const = 0;

 protected:
  ~TkivFormStyleSource() = default;
};

// For a form: the style of the first direct child control that is a
// skinned frame; otherwise, or without one, DeepBlue.
TkivUIStyle GetKIVFormStyle(TComponent* component);

// Sets "FileTheme" and then "UIStyle" on every direct child control of
// container that publishes both.
void ContainerApplyUIStyle(TWinControl* container, TkivUIStyle style, TkivFileTheme* fileTheme);

// Whether the component's class publishes a property of that name.
bool IsHasProperty(const TComponent* component, std::string_view name);

}  // namespace plx
