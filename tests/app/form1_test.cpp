// The main window in-process: its layout and the clip collection, driven
// through the handlers the way the drop target and the buttons call them.
#include "app/Form1.h"

#include <gtest/gtest.h>

#include <ctime>
#include <regex>
#include <string>
#include "tests/support/Clipboard.h"

namespace plx {
namespace {

using test::ClipboardText;

struct Form1Fixture : ::testing::Test {
  void SetUp() override {
    form = new TForm1(nullptr);
    form->AfterConstruction();
  }
  void TearDown() override { delete form; }

  void Drop(const std::string& text) { form->QXTextTarget1Drop(form, form->ListBox1, text, 10, 10); }
  void Select(int index) {
    form->ListBox1->SetItemIndex(index);
    form->ListBox1Click(form->ListBox1);
  }
  // The list and the store always change together.
  void ExpectInvariant() {
    ASSERT_EQ(form->Clips().Count(), form->ListBox1->Count());
    const bool has = form->ListBox1->Count() > 0;
    EXPECT_EQ(form->btnRemove->Enabled(), has);
    EXPECT_EQ(form->btnClear->Enabled(), has);
    EXPECT_TRUE(form->kivButton3->Enabled());
  }
  std::string Entry(int index) { return form->ListBox1->Item(index); }

  TForm1* form = nullptr;
};

TEST_F(Form1Fixture, LayoutPlacesEveryComponent) {
  EXPECT_EQ(form->Caption(), "Plexoria");
  EXPECT_EQ(form->Font().Name(), "MS Sans Serif");
  EXPECT_EQ(form->Font().Height(), -11);
  EXPECT_FALSE(form->Scaled());
  struct Place {
    TControl* control;
    int left, top, width, height, tab_order;
  } places[] = {
      {form->kivForm1, 0, 0, 243, 520, -1},  {form->Memo1, 8, 336, 225, 145, 1},
      {form->btnRemove, 8, 32, 113, 27, 2},  {form->btnClear, 128, 32, 104, 27, 3},
      {form->kivButton3, 8, 488, 225, 27, 4}, {form->ListBox1, 8, 64, 225, 257, 5},
  };
  for (const auto& p : places) {
    SCOPED_TRACE(p.control->Name());
    EXPECT_EQ(p.control->Left(), p.left);
    EXPECT_EQ(p.control->Top(), p.top);
    EXPECT_EQ(p.control->Width(), p.width);
    EXPECT_EQ(p.control->Height(), p.height);
    EXPECT_EQ(p.control->TabOrder(), p.tab_order);
    if (p.control != form->kivForm1) {
      EXPECT_EQ(p.control->Parent(), form->kivForm1);
    }
    EXPECT_FALSE(p.control->IsLoading());
  }
  EXPECT_EQ(form->btnRemove->Caption(), "Remove [-]");
  EXPECT_EQ(form->btnClear->Caption(), "Clear All");
  EXPECT_EQ(form->kivButton3->Caption(), "Copy");
  EXPECT_EQ(form->Memo1->Text(), "Please drop your text above.");
}

TEST_F(Form1Fixture, ButtonsAreBlueGlassAndTheThemeHoldsTheEmbeddedSkin) {
  ASSERT_NE(form->kivBuiltInFileTheme1, nullptr);
  EXPECT_TRUE(form->kivBuiltInFileTheme1->Ready());
  EXPECT_EQ(form->kivBuiltInFileTheme1->Owner(), form);
  for (TkivButton* button : {form->btnRemove, form->btnClear, form->kivButton3}) {
    SCOPED_TRACE(button->Name());
    EXPECT_EQ(button->UIStyle(), TkivUIStyle::BlueGlass);
    EXPECT_TRUE(button->Transparent());
    EXPECT_EQ(button->Font().Name(), "MS Sans Serif");
    EXPECT_EQ(button->Font().Color(), clBlack);
    EXPECT_EQ(button->FocusedRectMargin(), 2);
    EXPECT_EQ(button->Spacing(), 4);
    EXPECT_EQ(button->MouseContinuouslyDownInterval(), 100);
    EXPECT_EQ(button->ModalResult(), 0);
    EXPECT_TRUE(button->Glyph().Empty());
  }
  EXPECT_EQ(form->btnRemove->FileTheme(), form->kivBuiltInFileTheme1);
  EXPECT_EQ(form->btnClear->FileTheme(), nullptr);
  EXPECT_EQ(form->kivButton3->FileTheme(), nullptr);
  EXPECT_EQ(form->ListBox1->ItemHeight(), 16);
  EXPECT_EQ(form->Constraints().MinWidth, 251);
  EXPECT_EQ(form->Constraints().MinHeight, 42);
  ExpectInvariant();
}

TEST_F(Form1Fixture, DropBuildsTheEntryAndKeepsTheTextAsDelivered) {
  Drop("hello");
  ASSERT_EQ(form->ListBox1->Count(), 1);
  EXPECT_TRUE(std::regex_match(Entry(0), std::regex("<BODY bgcolor=\"#FF[0-9A-F]{4}\">hello\\.\\.\\.")))
      << Entry(0);
  EXPECT_EQ(form->Clips().Item(0).text, "hello");
  EXPECT_EQ(form->Clips().Item(0).position, 0);
  EXPECT_EQ(form->ListBox1->ItemIndex(), -1);  // a drop selects nothing
  ExpectInvariant();
}

TEST_F(Form1Fixture, LongTextShowsEightyCharactersAndTheWholeTextWhenSelected) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += static_cast<char>('A' + i % 26);
  Drop(text);
  const std::string entry = Entry(0);
  EXPECT_EQ(entry.substr(24), text.substr(0, 80) + "...");
  Select(0);
  EXPECT_EQ(form->Memo1->Text(), text);
}

TEST_F(Form1Fixture, OuterBlanksGoInnerLineBreakStays) {
  Drop("  first\r\nlast  ");
  EXPECT_EQ(Entry(0).substr(24), "first\r\nlast...");
  Select(0);
  EXPECT_EQ(form->Memo1->Text(), "  first\r\nlast  ");
}

TEST_F(Form1Fixture, EmptyAndBlankDropsStillBecomeClips) {
  const std::string blank(" \r\n\0\t", 5);
  Drop("");
  Drop(blank);
  ASSERT_EQ(form->ListBox1->Count(), 2);
  EXPECT_EQ(Entry(0).substr(24), "...");
  EXPECT_EQ(Entry(1).substr(24), "...");
  EXPECT_EQ(form->Clips().Item(1).text, blank);
  ExpectInvariant();
}

TEST_F(Form1Fixture, MemoShowsAClipUpToItsFirstZero) {
  Drop(std::string("before\0after", 12));
  Select(0);
  EXPECT_EQ(form->Memo1->Text(), "before");
  EXPECT_EQ(form->Clips().Item(0).text.size(), 12u);
}

TEST_F(Form1Fixture, DropsInOneSecondShareTheirTint) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    form->btnClearClick(form);
    const std::time_t before = std::time(nullptr);
    Drop("one");
    Drop("two");
    if (std::time(nullptr) != before) continue;  // crossed a second: try again
    EXPECT_EQ(Entry(0).substr(0, 24), Entry(1).substr(0, 24));
    return;
  }
  FAIL() << "never managed two drops within one second";
}

TEST_F(Form1Fixture, SelectionEventWithNothingSelectedLeavesTheMemo) {
  Drop("clip");
  form->Memo1->SetText("typed");
  form->ListBox1Click(form->ListBox1);
  EXPECT_EQ(form->Memo1->Text(), "typed");
}

TEST_F(Form1Fixture, RemoveWithNothingSelectedRemovesNothing) {
  Drop("a");
  Drop("b");
  form->btnRemoveClick(form->btnRemove);
  EXPECT_EQ(form->ListBox1->Count(), 2);
  EXPECT_EQ(form->Memo1->Text(), "Please drop your text above.");
  ExpectInvariant();
}

TEST_F(Form1Fixture, RemovingEntryZeroOfThreeMovesTheOthersUp) {
  Drop("first");
  Drop("second");
  Drop("third");
  Select(0);
  form->btnRemoveClick(form->btnRemove);
  ASSERT_EQ(form->ListBox1->Count(), 2);
  EXPECT_EQ(form->Memo1->Text(), "");
  EXPECT_EQ(Entry(0).substr(24), "second...");
  EXPECT_EQ(form->Clips().Item(0).position, 1);
  Select(0);
  EXPECT_EQ(form->Memo1->Text(), "second");
  ExpectInvariant();
  Select(1);
  form->btnRemoveClick(form->btnRemove);
  Select(0);
  form->btnRemoveClick(form->btnRemove);
  EXPECT_EQ(form->ListBox1->Count(), 0);
  ExpectInvariant();  // removing the last clip disables both buttons
}

TEST_F(Form1Fixture, ClearAllEmptiesEverythingEvenWhenAlreadyEmpty) {
  form->btnClearClick(form->btnClear);
  EXPECT_EQ(form->Memo1->Text(), "");
  ExpectInvariant();
  Drop("a");
  Drop("b");
  Select(1);
  form->btnClearClick(form->btnClear);
  EXPECT_EQ(form->ListBox1->Count(), 0);
  EXPECT_EQ(form->Memo1->Text(), "");
  ExpectInvariant();
}

TEST_F(Form1Fixture, CopyTakesWhatTheMemoHoldsNotTheStoredClip) {
  Drop("stored text");
  Select(0);
  SendMessageA(form->Memo1->Handle(), EM_SETSEL, 0, -1);
  SendMessageA(form->Memo1->Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("typed over"));
  form->kivButton3Click(form->kivButton3);
  EXPECT_EQ(ClipboardText(), "typed over");
  Select(0);
  EXPECT_EQ(form->Memo1->Text(), "stored text");
  EXPECT_EQ(form->Clips().Item(0).text, "stored text");
}

TEST_F(Form1Fixture, CopyAtStartCopiesThePrompt) {
  form->kivButton3Click(form->kivButton3);
  EXPECT_EQ(ClipboardText(), "Please drop your text above.");
}

}  // namespace
}  // namespace plx
