#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Forms.h"
#include "framework/StdCtrls.h"

namespace plx {
namespace {

// Sees the list's add, insert, delete and reset messages after the base
// handled them, and paints every entry white.
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

 protected:
  void WndProc(TMessage& message) override {
    TCustomListBox::WndProc(message);
    if (message.Msg == LB_ADDSTRING || message.Msg == LB_INSERTSTRING || message.Msg == LB_DELETESTRING ||
        message.Msg == LB_RESETCONTENT)
      seen.push_back({message.Msg, message.Result, static_cast<int>(SendMessageA(Handle(), LB_GETCOUNT, 0, 0))});
  }
  void MeasureItem(int index, int& height) override {
    measured.push_back(index);
    height = 10 + index;
  }
  void DrawItem(int, const TRect& rect, TOwnerDrawState) override {
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

TEST_F(ListFixture, EntriesKeepBytesObjectsAndTheirOwnHeights) {
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
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
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
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

}  // namespace
}  // namespace plx
