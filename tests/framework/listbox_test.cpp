#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Forms.h"
#include "framework/StdCtrls.h"

namespace plx {
namespace {

// Records, in one sequence, the list's add, insert, delete and reset
// messages (after the base handled them), each measuring and each drawing.
// Paints every entry white.
class TWatchingListBox : public TCustomListBox {
 public:
  using TCustomListBox::TCustomListBox;
  struct Seen {
    UINT msg;
    LRESULT result;
    int count_then;  // the entries the base held at that moment
  };
  std::vector<Seen> seen;
  std::vector<int> measured;
  std::vector<std::string> events;  // "insert 0", "measure 0", "draw 0", ...
  int height_base = 10;
  // What measuring saw: a DC of its own, and the text height of the font.
  bool measured_with_dc = false;
  int measured_text_height = 0;

 protected:
  void WndProc(TMessage& message) override {
    TCustomListBox::WndProc(message);
    if (message.Msg == LB_ADDSTRING || message.Msg == LB_INSERTSTRING || message.Msg == LB_DELETESTRING ||
        message.Msg == LB_RESETCONTENT) {
      seen.push_back({message.Msg, message.Result, static_cast<int>(SendMessageA(Handle(), LB_GETCOUNT, 0, 0))});
      const char* name = message.Msg == LB_DELETESTRING ? "delete " : message.Msg == LB_RESETCONTENT ? "reset " : "insert ";
      events.push_back(name + std::to_string(message.Result));
    }
  }
  void MeasureItem(int index, int& height) override {
    measured.push_back(index);
    events.push_back("measure " + std::to_string(index));
    measured_with_dc = Canvas().HandleAllocated();
    if (measured_with_dc) measured_text_height = Canvas().TextHeight("Xg");
    height = height_base + index;
  }
  void DrawItem(int index, const TRect& rect, TOwnerDrawState) override {
    events.push_back("draw " + std::to_string(index));
    Canvas().Brush().SetColor(clWhite);
    Canvas().FillRect(rect);
  }
};

struct ListFixture : ::testing::Test {
  void SetUp() override {
    form = new TForm(nullptr);
    form->SetBounds(0, 0, 300, 300);
    list = new TWatchingListBox(form);
    list->SetParent(form);
    list->SetBounds(0, 0, 200, 150);
  }
  void TearDown() override { delete form; }
  TForm* form = nullptr;
  TWatchingListBox* list = nullptr;
};

TEST_F(ListFixture, SubclassSeesEachChangeAfterTheBaseHandledIt) {
  list->HandleNeeded();
  TObject tag;
  EXPECT_EQ(list->AddItem("a"), 0);
  EXPECT_EQ(list->AddItem(std::string("b\0c", 3), &tag), 1);
  list->InsertItem(0, "first");
  list->DeleteItem(1);
  list->Clear();
  ASSERT_EQ(list->seen.size(), 5u);
  EXPECT_EQ(list->seen[0].result, 0);
  EXPECT_EQ(list->seen[1].result, 1);
  EXPECT_EQ(list->seen[1].count_then, 2);
  EXPECT_EQ(list->seen[2].result, 0);
  EXPECT_EQ(list->seen[2].count_then, 3);
  EXPECT_EQ(list->seen[3].msg, static_cast<UINT>(LB_DELETESTRING));
  EXPECT_EQ(list->seen[3].count_then, 2);
  EXPECT_EQ(list->seen[4].msg, static_cast<UINT>(LB_RESETCONTENT));
  EXPECT_EQ(list->seen[4].count_then, 0);
  EXPECT_EQ(list->Count(), 0);
}

TEST_F(ListFixture, AddingMeasuresTheEntryBeforeTheInsertReturnsAndPaintingDrawsIt) {
  form->Show();
  // The shown form gives the list, its only tab stop, the focus, and a
  // focused list draws its focus entry once more; this is about measuring.
  SetFocus(nullptr);
  list->events.clear();
  list->AddItem("a");
  list->InsertItem(0, "b");
  list->Repaint();
  const std::vector<std::string> expected = {"measure 0", "insert 0", "measure 0", "insert 0", "draw 0", "draw 1"};
  EXPECT_EQ(list->events, expected);
}

TEST_F(ListFixture, EntriesWaitForTheWindowWithoutCreatingIt) {
  list->AddItem("zero");
  list->AddItem("one");
  list->InsertItem(0, "first");
  list->SetItemIndex(2);
  list->DeleteItem(0);  // the selection moves with its entry
  EXPECT_FALSE(list->HandleAllocated());
  EXPECT_FALSE(form->HandleAllocated());
  EXPECT_TRUE(list->measured.empty());
  EXPECT_EQ(list->ItemIndex(), 1);

  // Positive control: the window, once there, holds and measures them all.
  HWND window = list->Handle();
  EXPECT_EQ(SendMessageA(window, LB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(list->measured, (std::vector<int>{0, 1}));
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(list->Item(0), "zero");
}

TEST_F(ListFixture, MeasuringUsesARealDCWithTheListsFont) {
  list->HandleNeeded();
  list->AddItem("small");
  ASSERT_TRUE(list->measured_with_dc);
  const int small = list->measured_text_height;
  list->Font().SetHeight(-40);
  list->AddItem("large");
  EXPECT_GE(list->measured_text_height, 40);
  EXPECT_LT(small, 30);
}

TEST_F(ListFixture, ReMeasureMeasuresEveryEntryAgain) {
  list->HandleNeeded();
  for (const char* text : {"a", "b", "c"}) list->AddItem(text);
  list->measured.clear();
  list->height_base = 20;
  list->ReMeasure();
  EXPECT_EQ(list->measured, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(list->ItemHeightOf(0), 20);
  EXPECT_EQ(list->ItemHeightOf(2), 22);
}

TEST_F(ListFixture, HeightsAreClampedToWhatTheSystemListCanHold) {
  list->HandleNeeded();
  struct Case {
    int asked;
    int kept;
  };
  for (const Case c : {Case{1000, 255}, Case{256, 255}, Case{255, 255}, Case{1, 1}, Case{0, 1}, Case{-5, 1}}) {
    list->height_base = c.asked;
    list->Clear();
    list->AddItem("x");
    EXPECT_EQ(list->ItemHeightOf(0), c.kept) << "measured " << c.asked;
    list->SetItemHeightOf(0, c.asked);
    EXPECT_EQ(list->ItemHeightOf(0), c.kept) << "set " << c.asked;
  }
}

TEST_F(ListFixture, EntriesKeepBytesObjectsAndTheirOwnHeights) {
  list->HandleNeeded();
  TObject tag;
  list->AddItem("zero");
  list->AddItem(std::string("one\0two", 7), &tag);
  list->AddItem("two");
  EXPECT_EQ(list->measured, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(list->Item(1), std::string("one\0two", 7));
  EXPECT_EQ(list->ItemObject(1), &tag);
  EXPECT_EQ(list->ItemHeightOf(0), 10);
  EXPECT_EQ(list->ItemHeightOf(2), 12);
  list->SetItemHeightOf(1, 40);
  EXPECT_EQ(list->ItemHeightOf(1), 40);

  const TRect r0 = list->ItemRect(0), r1 = list->ItemRect(1), r2 = list->ItemRect(2);
  EXPECT_EQ(r0.Top, 0);
  EXPECT_EQ(r1.Top, 10);
  EXPECT_EQ(r2.Top, 50);
  EXPECT_EQ(list->ItemAtPos({5, 45}), 1);
  EXPECT_EQ(list->ItemAtPos({5, 55}), 2);
  EXPECT_EQ(list->ItemAtPos({5, 140}), -1);  // below the last entry
}

TEST_F(ListFixture, ReplacingAStringMeasuresItAgainAndKeepsTheSelection) {
  list->HandleNeeded();
  list->AddItem("a");
  list->AddItem("b");
  list->SetItemIndex(1);
  EXPECT_TRUE(list->Selected(1));
  list->measured.clear();
  list->SetItem(1, "bb");
  EXPECT_EQ(list->measured, std::vector<int>{1});
  EXPECT_EQ(list->Item(1), "bb");
  EXPECT_EQ(list->ItemIndex(), 1);
  list->SetItemIndex(-1);
  EXPECT_EQ(list->ItemIndex(), -1);
}

TEST_F(ListFixture, HorizontalExtentIsSetAndRead) {
  list->SetHorizontalExtent(700);
  EXPECT_EQ(list->HorizontalExtent(), 700);
  list->SetHorizontalExtent(0);
  EXPECT_EQ(list->HorizontalExtent(), 0);
}

TEST_F(ListFixture, BaseDrawsTheFocusRectangleAfterAFocusedEntry) {
  list->AddItem("entry");
  HWND window = list->Handle();
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 40, -20, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  TMemoryDC memory(nullptr);
  HDC dc = memory.Get();
  TOwnedBitmap bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  TSelectObject selected(dc, bitmap.Get());
  auto pixels = static_cast<const std::uint32_t*>(bits);
  // Dark pixels on the entry's one-pixel edge and inside it.
  auto dark = [&](bool edge) {
    int n = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 40; ++x) {
        const bool on_edge = x == 0 || y == 0 || x == 39 || y == 19;
        if (on_edge == edge) n += (pixels[y * 40 + x] & 0xFFFFFF) == 0;
      }
    return n;
  };
  for (UINT state : {static_cast<UINT>(ODS_SELECTED), static_cast<UINT>(ODS_SELECTED | ODS_FOCUS)}) {
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_LISTBOX;
    item.itemID = 0;
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = state;
    item.hwndItem = window;
    item.hDC = dc;
    item.rcItem = {0, 0, 40, 20};
    list->Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
    GdiFlush();
    if (state & ODS_FOCUS) {
      EXPECT_GT(dark(true), 20) << "focused: the dotted frame inverts the white entry's edge";
    } else {
      EXPECT_EQ(dark(true), 0) << "not focused: no frame";
    }
    EXPECT_EQ(dark(false), 0) << "nothing inside the frame";
  }
}

}  // namespace
}  // namespace plx
