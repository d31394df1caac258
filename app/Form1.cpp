#include "app/Form1.h"

#include <cstdlib>
#include <ctime>
#include <iterator>
#include <string_view>

#include "app/ClipEntry.h"
#include "app/WindowPlacement.h"
#include "framework/Layout.h"
#include "framework/ScopedState.h"

namespace plx {

TForm1* Form1 = nullptr;

namespace {

// Where the embedded skin was taken from when the window was designed.
constexpr char kDesignSkinPath[] = "D:\\Design\\Skins\\Plexoria.kvs";

// The skin archive stored with the window (the resource SKINDATA); empty
// when the program carries none.
std::string_view EmbeddedSkinData() {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, "SKINDATA", MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;  // module memory: never freed
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (data == nullptr) return {};
  return {static_cast<const char*>(data), SizeofResource(module, found)};
}

}  // namespace

TForm1::TForm1(TComponent* owner) : TForm(owner) {
  BuildLayout();
}

void TForm1::BeforeDestruction() {
  // The clips go first; the window and its components follow in TForm.
  clips_.Clear();
  TForm::BeforeDestruction();
}

TForm1::~TForm1() {
  if (Form1 == this) Form1 = nullptr;
}

void TForm1::BuildLayout() {
  TLayoutBuilder layout(*this);
  SetName("Form1");
  SetCaption("Plexoria");
  SetBorderStyle(TFormBorderStyle::bsDialog);
  SetBounds(731, 341, Width(), Height());
  SetClientWidth(243);
  SetClientHeight(520);
  SetColor(clBtnFace);
  Constraints().MinWidth = 251;
  Constraints().MinHeight = 42;
  Font().SetName("MS Sans Serif");
  Font().SetHeight(-11);
  Font().SetStyle({});
  Font().SetColor(clWindowText);
  Font().SetCharset(DEFAULT_CHARSET);
  SetScaled(false);
  SetPixelsPerInch(96);

  BuildSkinnedFrame(layout);

  Memo1 = layout.Create<TMemo>("Memo1", kivForm1, 8, 336, 225, 145, 1);
  Memo1->SetLines({"Please drop your text above."});
  Memo1->SetScrollBars(TScrollStyle::ssVertical);

  auto makeButton = [&](const char* name, int left, int top, int width, int tabOrder, const char* caption) {
    TkivButton* button = layout.Create<TkivButton>(name, kivForm1, left, top, width, 27, tabOrder);
    button->SetCaption(caption);
    button->Font().SetName("MS Sans Serif");
    button->Font().SetHeight(-11);
    button->Font().SetColor(clBlack);
    button->Font().SetCharset(DEFAULT_CHARSET);
    button->SetParentFont(false);
    button->SetAutoSize(false);
    button->SetUIStyle(TkivUIStyle::BlueGlass);
    button->SetTransparent(true);
    button->SetModalResult(0);
    button->SetFocusedRectMargin(2);
    button->SetLayout(blGlyphLeft);
    button->SetSpacing(4);
    button->SetMouseContinuouslyDownInterval(100);
    button->SetResHandle(0);
    return button;
  };
  btnRemove = makeButton("btnRemove", 8, 32, 113, 2, "Remove [-]");
  btnRemove->OnClick = [this](TObject* sender) { btnRemoveClick(sender); };
  btnClear = makeButton("btnClear", 128, 32, 104, 3, "Clear All");
  btnClear->OnClick = [this](TObject* sender) { btnClearClick(sender); };
  kivButton3 = makeButton("kivButton3", 8, 488, 225, 4, "Copy");
  kivButton3->OnClick = [this](TObject* sender) { kivButton3Click(sender); };

  ListBox1 = layout.Create<THTMListBox>("ListBox1", kivForm1, 8, 64, 225, 257, 5);
  ListBox1->SetItemHeight(16);
  ListBox1->SetEllipsis(false);
  ListBox1->SetMultiline(false);
  ListBox1->SetSelectionFontColor(clHighlightText);
  ListBox1->SetShadowOffset(1);
  ListBox1->SetShowSelection(true);
  ListBox1->SetSorted(false);
  ListBox1->SetSortWithHTML(false);
  ListBox1->OnClick = [this](TObject* sender) { ListBox1Click(sender); };

  // The embedded skin is read as the theme is created, so it is ready
  // before the references to it are resolved. Its design-time source is
  // looked up first and, not being there on a user's machine, changes nothing.
  kivBuiltInFileTheme1 = layout.Create<TkivBuiltInFileTheme>("kivBuiltInFileTheme1");
  kivBuiltInFileTheme1->SetThemeFile(kDesignSkinPath);
  kivBuiltInFileTheme1->ReadSkinData(EmbeddedSkinData());
  // The frame takes its theme before the list's window (and so the form's)
  // is made below: the window is then measured once, with the skin's frame.
  kivForm1->SetFileTheme(kivBuiltInFileTheme1);
  btnRemove->SetFileTheme(kivBuiltInFileTheme1);  // no effect under BlueGlass

  // The drop target is created here, after the list it is bound to.
  QXTextTarget1 = layout.Create<TQXTextTarget>("QXTextTarget1");
  QXTextTarget1->setAcceptTextFormats({dtfText});
  QXTextTarget1->OnDrop = [this](TObject* sender, TWinControl* acceptor, const std::string& text, int x, int y) {
    QXTextTarget1Drop(sender, acceptor, text, x, y);
  };
  QXTextTarget1->setAcceptor(ListBox1);

  // Last in the layout: it hooks the window (creating it if needed), puts
  // "Always on &top" into the window menu and makes the window topmost
  // before it is first shown.
  acFormTopmost1 = layout.Create<TacFormTopmost>("acFormTopmost1");
  acFormTopmost1->CaptionButton().SetBtnOrder(0);
  acFormTopmost1->CaptionButton().SetHint("Always on top");
  acFormTopmost1->CaptionButton().SetVisible(true);
  acFormTopmost1->SystemMenu().SetApplyToMenu(true);
  acFormTopmost1->SystemMenu().SetCaption("Always on &top");
  acFormTopmost1->SystemMenu().SetPosition(7);
  acFormTopmost1->SystemMenu().SetSeparators(seBefore);
  acFormTopmost1->SetTopmostProperty(true);

  OnCreate = [this](TObject* sender) { FormCreate(sender); };
  layout.Finish();

  // The designed place holds wherever the window fits there; on a smaller
  // or differently arranged desktop it moves just enough to lie wholly on
  // the nearest monitor's work area.
  const RECT designed{Left(), Top(), Left() + Width(), Top() + Height()};
  const POINT place = PlaceOnNearestMonitor(designed);
  if (place.x != Left() || place.y != Top()) SetBounds(place.x, place.y, Width(), Height());
}

void TForm1::BuildSkinnedFrame(TLayoutBuilder& layout) {
  kivForm1 = layout.Create<TkivForm>("kivForm1", this, 0, 0, 243, 520);
  kivForm1->SetTitleBarCustom(false);
  kivForm1->SetUIStyle(TkivUIStyle::FromThemeFile);
  kivForm1->SetUIStyleAutoUpdateSub(false);
  kivForm1->SetBorderColor(clBlack);
  kivForm1->SetBorderWidth(1);
  kivForm1->SetColor(0xF0F0F0);
  kivForm1->SetCaption("Plexoria");
  kivForm1->SetTitleBarDrawAppIcon(true);
  kivForm1->Font().SetName("Tahoma");
  kivForm1->Font().SetHeight(-11);
  kivForm1->Font().SetStyle({fsBold});
  kivForm1->Font().SetColor(clWhite);
  kivForm1->Font().SetCharset(DEFAULT_CHARSET);
  kivForm1->SetMenuBarColor(0xF0F0F0);
  kivForm1->SetMenuBarToColor(0xF0F0F0);
  kivForm1->SetMenuBarHeight(0);
  kivForm1->SetRoundCorner(0);
  kivForm1->SetRoundCornerBottom(0);
  kivForm1->SetInactiveCaptionColor(clInactiveCaption);

  // The title bar's own pictures, stored with the layout. A title bar that is
  // not custom rebuilds its sections and button faces from its look when the
  // frame takes the theme below, before its window exists, so those pictures
  // would be decoded only to be dropped: they are read for a custom title bar
  // alone, which keeps them.
  HINSTANCE instance = GetModuleHandleA(nullptr);
  const bool keepsStoredPictures = kivForm1->TitleBarCustom();
  auto loadStored = [&](TPicture& picture, const char* name) {
    if (keepsStoredPictures) picture.Bitmap().LoadFromResourceName(instance, name);
  };
  const struct {
    TkivTitleBarBtnType type;
    bool visible;
    const char* pictures[3];
  } buttons[] = {
      {TkivTitleBarBtnType::kivControlBox, true,
       {"KIVFORM1_BUTTON_CONTROLBOX_NORMAL", "KIVFORM1_BUTTON_CONTROLBOX_MOUSEON", "KIVFORM1_BUTTON_CONTROLBOX_MOUSEDOWN"}},
      {TkivTitleBarBtnType::kivClose, true,
       {"KIVFORM1_BUTTON_CLOSE_NORMAL", "KIVFORM1_BUTTON_CLOSE_MOUSEON", "KIVFORM1_BUTTON_CLOSE_MOUSEDOWN"}},
      {TkivTitleBarBtnType::kivMax, false,
       {"KIVFORM1_BUTTON_MAX_NORMAL", "KIVFORM1_BUTTON_MAX_MOUSEON", "KIVFORM1_BUTTON_MAX_MOUSEDOWN"}},
      {TkivTitleBarBtnType::kivMin, true,
       {"KIVFORM1_BUTTON_MIN_NORMAL", "KIVFORM1_BUTTON_MIN_MOUSEON", "KIVFORM1_BUTTON_MIN_MOUSEDOWN"}},
  };
  TkivTitleBarButtons& titleButtons = kivForm1->TitleBarButtons();
  for (int i = 0; i < titleButtons.Count() && i < static_cast<int>(std::size(buttons)); ++i) {
    TkivTitleBarButton& button = titleButtons.Items(i);
    button.SetButtonType(buttons[i].type);
    button.SetUIStyle(TkivUIStyle::FromThemeFile);
    button.SetTransparent(true);
    button.SetTop(7);
    button.SetVisible(buttons[i].visible);
    loadStored(button.PicNormal(), buttons[i].pictures[0]);
    loadStored(button.PicMouseOn(), buttons[i].pictures[1]);
    loadStored(button.PicMouseDown(), buttons[i].pictures[2]);
  }
  const struct {
    TkivTitleBarAlign align;
    bool autoSize;
    int width;
    bool stretch;
    const char* picture;
  } sections[] = {
      {TkivTitleBarAlign::kivLeft, true, 126, false, "KIVFORM1_SECTION_LEFT"},
      {TkivTitleBarAlign::kivClient, false, 10, true, "KIVFORM1_SECTION_CLIENT"},
      {TkivTitleBarAlign::kivRight, true, 125, false, "KIVFORM1_SECTION_RIGHT"},
  };
  TkivTitleBarSections& titleSections = kivForm1->TitleBarSections();
  titleSections.Clear();
  for (const auto& s : sections) {
    TkivTitleBarSection& section = titleSections.Add();
    section.SetAlign(s.align);
    section.SetAutoSize(s.autoSize);
    section.SetWidth(s.width);
    section.SetStretch(s.stretch);
    section.SetCapSec(false);
    loadStored(section.Picture(), s.picture);
  }
}

void TForm1::FormCreate(TObject*) {
  btnRemove->SetEnabled(false);
  btnClear->SetEnabled(false);
}

void TForm1::QXTextTarget1Drop(TObject*, TWinControl*, const std::string& dropText, int, int) {
  // Seeded on every drop: drops within one second share their tint.
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  const std::string tag = ClipColorTag([] { return std::rand(); });
  ListBox1->AddItem(ClipEntryString(tag, ClipPreview(dropText)));
  // Keep the list and the clips in step, whatever failed.
  TScopeExit undo([&] { ListBox1->DeleteItem(ListBox1->Count() - 1); });
  clips_.Append(ListBox1->Count() - 1, dropText);
  undo.Dismiss();
  ApplyButtonRule();
}

void TForm1::ListBox1Click(TObject*) {
  const int index = ListBox1->ItemIndex();
  if (index == -1) return;
  Memo1->SetText(clips_.Item(index).text);
}

void TForm1::btnRemoveClick(TObject*) {
  const int index = ListBox1->ItemIndex();
  if (ListBox1->Count() > 0 && index != -1) {
    clips_.Remove(index);
    ListBox1->DeleteItem(index);
    Memo1->Clear();
  }
  ApplyButtonRule();
}

void TForm1::btnClearClick(TObject*) {
  clips_.Clear();
  ListBox1->Clear();
  Memo1->Clear();
  ApplyButtonRule();
}

void TForm1::kivButton3Click(TObject*) {
  Memo1->SelectAll();
  Memo1->CopyToClipboard();
}

void TForm1::ApplyButtonRule() {
  const bool has_clips = ListBox1->Count() > 0;
  btnRemove->SetEnabled(has_clips);
  btnClear->SetEnabled(has_clips);
}

}  // namespace plx
