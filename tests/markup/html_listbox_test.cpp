// The markup list on a real window: entry heights from the renderer, anchors
// and hints driven by real mouse input, typing search, sorting, marks,
// blinking, the entry-text error and the drawn entries against a golden
// image.
#include "markup/HTMListBox.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/Bitmap.h"
#include "framework/Forms.h"
#include "framework/ImageList.h"
#include "markup/MarkupText.h"
#include "markup/PictureContainer.h"
#include "markup/RenderMarkup.h"
#include "markup/TextMetricsCache.h"
#include "framework/Streams.h"
#include "markup/HTMLPicture.h"
#include "tests/markup/GifBuilder.h"
#include "tests/markup/GoldenImage.h"
#include "tests/support/WindowTestSupport.h"

namespace plx {
namespace {

// Counts the key presses and mouse moves the list has handled and the
// layouts of entries it has made.
class TKeyCountingList : public THTMListBox {
 public:
  using THTMListBox::THTMListBox;
  int keys_handled = 0;
  int mouse_moves = 0;
  int layouts = 0;

 protected:
  void WndProc(TMessage& message) override {
    THTMListBox::WndProc(message);
    if (message.Msg == WM_KEYUP) ++keys_handled;
    if (message.Msg == WM_MOUSEMOVE) ++mouse_moves;
  }
  void MarkupLaidOut() override { ++layouts; }
};

INPUT MouseInput(DWORD flags, POINT screen = {}) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  if (flags & MOUSEEVENTF_ABSOLUTE) {
    input.mi.dx = (screen.x * 65535 + GetSystemMetrics(SM_CXSCREEN) / 2) / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = (screen.y * 65535 + GetSystemMetrics(SM_CYSCREEN) / 2) / (GetSystemMetrics(SM_CYSCREEN) - 1);
  }
  return input;
}

const std::string kShortEntry = "<BODY bgcolor=\"#FFA0B0\">Hello...";

struct HTMListFixture : ::testing::Test {
  // One shown form for every test: hiding a shown top-level window makes
  // Wine wait for the X server, so it is done once.
  static void SetUpTestSuite() {
    form = new TForm(nullptr);
    form->SetBorderStyle(TFormBorderStyle::bsNone);
    form->SetBounds(100, 100, 260, 360);
    form->Font().SetName("MS Sans Serif");
    form->Font().SetHeight(-11);
    form->Show();
  }
  static void TearDownTestSuite() { delete form; }

  void SetUp() override {
    list = new TKeyCountingList(form);
    list->SetParent(form);
    list->SetBounds(8, 64, 225, 257);  // the main window's list: a 221-pixel client area
    list->ShellOpener = [this](const std::string& link) { opened.push_back(link); };
    list->HandleNeeded();
    SetForegroundWindow(form->Handle());
    Application().ProcessMessages();
  }
  void TearDown() override { delete list; }

  // Moves the mouse over a client point of the list with real input.
  void MoveTo(int x, int y) {
    POINT screen{x, y};
    ClientToScreen(list->Handle(), &screen);
    INPUT move = MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, screen);
    SendInput(1, &move, sizeof(INPUT));
    test::PumpUntil([&] {
      POINT at{};
      return GetCursorPos(&at) && at.x == screen.x && at.y == screen.y;
    });
    FlushInput();
  }
  void ClickAt(int x, int y) {
    MoveTo(x, y);
    INPUT clicks[2] = {MouseInput(MOUSEEVENTF_LEFTDOWN), MouseInput(MOUSEEVENTF_LEFTUP)};
    SendInput(2, clicks, sizeof(INPUT));
    FlushInput();
  }
  // Dispatches input until none is waiting.
  static void FlushInput() {
    test::PumpUntil([] { return GetQueueStatus(QS_INPUT) == 0; });
    Application().ProcessMessages();
  }
  // A point on the first characters of an entry's text.
  TPoint TextOf(int index) {
    const TRect r = list->ItemRect(index);
    return {r.Left + 6, r.Top + r.Height() / 2};
  }
  static bool HandCursor() { return GetCursor() == LoadCursor(nullptr, IDC_HAND); }

  static inline TForm* form = nullptr;
  TKeyCountingList* list = nullptr;
  std::vector<std::string> opened;
};

// ------------------------------------------------------------- measuring

TEST_F(HTMListFixture, AOneLineEntryIs13PixelsAndAReMeasureAddsOne) {
  EXPECT_EQ(list->ClientWidth(), 221);
  list->AddItem(kShortEntry);
  EXPECT_EQ(list->ItemHeightOf(0), 13);
  list->ReMeasure();
  EXPECT_EQ(list->ItemHeightOf(0), 14);
  list->AddItem(kShortEntry);
  EXPECT_EQ(list->ItemHeightOf(1), 13);
  list->SetWidth(224);  // a resize measures every entry again
  EXPECT_EQ(list->ItemHeightOf(0), 14);
  EXPECT_EQ(list->ItemHeightOf(1), 14);
}

TEST_F(HTMListFixture, AnEightyCharacterPreviewWrapsToSeveralLines) {
  const std::string sentence = "The quick brown fox jumps over the lazy dog while five boxing wizards jump quick";
  ASSERT_EQ(sentence.size(), 80u);
  list->AddItem("<BODY bgcolor=\"#FF12AB\">" + sentence + "...");
  const int height = list->ItemHeightOf(0);
  EXPECT_GT(height, 13);
  EXPECT_EQ(height % 13, 0) << height;
  EXPECT_LE(height, 3 * 13);
}

TEST_F(HTMListFixture, EntriesAreCappedAtTheClientHeightAndAt255) {
  std::string tall;
  for (int i = 0; i < 40; ++i) tall += "line<BR>";
  list->AddItem(tall);
  EXPECT_EQ(list->ItemHeightOf(0), list->ClientHeight());
  list->Clear();
  list->SetHeight(600);
  ASSERT_GT(list->ClientHeight(), 255);
  list->AddItem(tall);
  EXPECT_EQ(list->ItemHeightOf(0), 255);
  list->ReMeasure();
  EXPECT_EQ(list->ItemHeightOf(0), 255);
}

TEST_F(HTMListFixture, OnceTheListIsFullEntriesAreMeasuredWithoutTheScrollBarsWidth) {
  // A line that fits the list's width, but not that width less a scroll bar.
  const int full_width = list->ClientWidth() - 2 - 1;
  const int narrow_width = list->ClientWidth() - GetSystemMetrics(SM_CXVSCROLL) - 1;
  std::string line;
  {
    TCanvas canvas;
    HDC dc = GetDC(list->Handle());
    canvas.SetHandle(dc);
    canvas.Font().Assign(list->Font());
    while (canvas.TextWidth(line + " il") < narrow_width + 3) line += " il";
    line += " il";
    const int width = canvas.TextWidth(line);
    canvas.SetHandle(nullptr);
    ReleaseDC(list->Handle(), dc);
    ASSERT_LT(width, full_width - 3) << "no line between the two widths";
  }
  line.erase(0, 1);
  for (int i = 0; i < 15; ++i) list->AddItem("x");
  list->AddItem(line);  // 16 x 16 <= 257: the list is not full yet
  EXPECT_EQ(list->ItemHeightOf(15), 13);
  list->AddItem("x");
  list->AddItem(line);  // 18 x 16 > 257
  EXPECT_EQ(list->ItemHeightOf(17), 26);
}

// Adding entries to a shown list leaves its scroll bar and its painting to
// the message queue, once for a whole burst of entries: right after the adds
// the scroll bar still has the range it had, so the system list has drawn
// nothing yet; once the queue has run the range covers every entry.
TEST_F(HTMListFixture, EntriesAddedInABurstReachTheScrollBarOnceTheQueueHasRun) {
  const auto scroll_max = [this] {
    SCROLLINFO info{sizeof info, SIF_RANGE, 0, 0, 0, 0, 0};
    GetScrollInfo(list->Handle(), SB_VERT, &info);
    return info.nMax;
  };
  for (int i = 0; i < 40; ++i) list->AddItem(kShortEntry);  // more than a page
  ASSERT_TRUE(test::PumpUntil([&] { return scroll_max() == 39; })) << scroll_max();
  for (int i = 0; i < 5; ++i) list->AddItem(kShortEntry);
  EXPECT_EQ(list->Count(), 45);
  EXPECT_EQ(scroll_max(), 39);
  EXPECT_TRUE(test::PumpUntil([&] { return scroll_max() == 44; })) << scroll_max();
  // Entries that leave go the same way.
  list->DeleteItem(44);
  list->DeleteItem(43);
  EXPECT_EQ(scroll_max(), 44);
  EXPECT_TRUE(test::PumpUntil([&] { return scroll_max() == 42; })) << scroll_max();
}

// A paint asked for before the queue has run still shows the new entry: it
// is in the list at once, and painting brings the list up to date first.
TEST_F(HTMListFixture, APaintRightAfterAnAddShowsTheNewEntry) {
  // What the list's window holds right of an entry's text, on its tint (read
  // from the window itself: the screen may show it only later).
  const auto shown_at = [this](int index) {
    const TRect r = list->ItemRect(index);
    HDC window = GetDC(list->Handle());
    const COLORREF colour = GetPixel(window, r.Right - 3, r.Top + r.Height() / 2);
    ReleaseDC(list->Handle(), window);
    return colour;
  };
  constexpr COLORREF kTint = RGB(0xFF, 0xA0, 0xB0);  // kShortEntry's bgcolor
  list->AddItem(kShortEntry);
  ASSERT_TRUE(test::PumpUntil([&] { return shown_at(0) == kTint; }));  // the probe sees a painted entry
  list->AddItem(kShortEntry);
  EXPECT_NE(shown_at(1), kTint);  // not painted by the add itself
  UpdateWindow(list->Handle());
  EXPECT_EQ(shown_at(1), kTint);
}

// Emptying the list lets go of the texts measured for its entries; while an
// entry is left, they are kept.
TEST_F(HTMListFixture, EmptyingTheListLetsGoOfItsMeasuredTexts) {
  // What other markup has measured on this thread is not the list's to let go.
  TextMetricsCache& shared = TextMetricsCache::ForThisThread();
  TBitmap elsewhere(10, 10);
  std::string anchor;
  int extentX = 0;
  int extentY = 0;
  RenderMarkup(elsewhere.Canvas(), "measured <B>elsewhere</B>", TRect{0, 0, 200, 100}, nullptr, 0, 0, 1, true, true,
               false, true, true, clBlue, clGray, anchor, extentX, extentY, nullptr, nullptr, 0);
  const std::size_t shared_count = shared.Count();
  ASSERT_GT(shared_count, 0u);
  for (const bool by_clear : {false, true}) {
    SCOPED_TRACE(by_clear ? "Clear" : "deleting the last entry");
    list->AddItem(kShortEntry);
    list->AddItem("<BODY bgcolor=\"#FF12AB\">other words...");
    Application().ProcessMessages();
    list->DeleteItem(1);
    EXPECT_GT(list->MeasuredTexts().Count(), 0u);
    if (by_clear) {
      list->Clear();
    } else {
      list->DeleteItem(0);
    }
    EXPECT_EQ(list->MeasuredTexts().Count(), 0u);
    EXPECT_EQ(shared.Count(), shared_count);
  }
}

// --------------------------------------------------------- entries as text

TEST_F(HTMListFixture, GetTextItemGivesPlainTextAndRefusesIndexesOutsideTheList) {
  list->AddItem(kShortEntry);
  list->AddItem("a<BR>b");
  EXPECT_EQ(list->GetTextItem(0), "Hello...");
  EXPECT_EQ(list->GetTextItem(1), "a\r\nb");
  for (int index : {-1, 2, 1000}) {
    try {
      list->GetTextItem(index);
      ADD_FAILURE() << "no error for index " << index;
    } catch (const EHTMListBoxError& error) {
      EXPECT_EQ(error.Message(), "Item index out of range") << index;
    }
  }
}

TEST_F(HTMListFixture, SortedOrdersExistingEntriesOnceByPlainTextOrByMarkup) {
  TObject tags[3];
  list->AddItem("<B>cherry</B>", &tags[0]);
  list->AddItem("<I>apple</I>", &tags[1]);
  list->AddItem("<U>banana</U>", &tags[2]);
  list->SetSorted(true);
  ASSERT_EQ(list->Count(), 3);
  EXPECT_EQ(list->Item(0), "<I>apple</I>");
  EXPECT_EQ(list->Item(1), "<U>banana</U>");
  EXPECT_EQ(list->Item(2), "<B>cherry</B>");
  EXPECT_EQ(list->ItemObject(0), &tags[1]);
  EXPECT_EQ(list->ItemHeightOf(0), 13);  // measured again as they went back in
  list->AddItem("<B>aardvark</B>");      // later entries are not put in order
  EXPECT_EQ(list->Item(3), "<B>aardvark</B>");

  list->SetSorted(false);
  list->SetSortWithHTML(true);
  list->SetSorted(true);
  EXPECT_EQ(list->Item(0), "<B>aardvark</B>");
  EXPECT_EQ(list->Item(1), "<B>cherry</B>");
  EXPECT_EQ(list->Item(2), "<I>apple</I>");
  EXPECT_EQ(list->Item(3), "<U>banana</U>");
}

TEST_F(HTMListFixture, HighlightAndMarkWrapTheTextAndComeOutAgain) {
  const std::string entry = "<B>abc</B> xbz";
  list->AddItem(entry);
  list->AddItem("nothing here");
  list->HilightInItem(0, "b", false);
  EXPECT_EQ(list->Item(0), MarkText(entry, "b", "hi", false));
  EXPECT_NE(list->Item(0), entry);
  list->UnHilightInItem(0);
  EXPECT_EQ(list->Item(0), entry);
  list->MarkInList("B", true);
  EXPECT_EQ(list->Item(0), entry);  // case counts: no capital B in the text
  list->MarkInList("b", true);
  EXPECT_EQ(list->Item(0), MarkText(entry, "b", "e", true));
  EXPECT_EQ(list->Item(1), "nothing here");
  list->UnMarkInList();
  EXPECT_EQ(list->Item(0), entry);
  list->HilightInList("here", false);
  EXPECT_EQ(list->Item(1), "nothing <hi>here</hi>");
  list->UnHilightInList();
  EXPECT_EQ(list->Item(1), "nothing here");
  EXPECT_EQ(list->ItemHeightOf(1), 13);
}

// ------------------------------------------------------------- keyboard

TEST_F(HTMListFixture, TypingSelectsTheFirstEntryStartingWithTheLetter) {
  for (const char* text : {"<B>apple</B>", "banana", "<I>blueberry</I>", "cherry"}) list->AddItem(text);
  list->SetItemIndex(1);
  list->SetFocus();
  auto press = [&](WORD key) {
    const int before = list->keys_handled;
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = key;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
    return test::PumpUntil([&] { return list->keys_handled > before; });
  };
  ASSERT_TRUE(press('B'));
  EXPECT_EQ(list->ItemIndex(), 1);  // the selected entry starts with B: it stays
  ASSERT_TRUE(press('Z'));
  EXPECT_EQ(list->ItemIndex(), 1);  // a letter that starts no entry changes nothing
  ASSERT_TRUE(press('C'));
  EXPECT_EQ(list->ItemIndex(), 3);
  ASSERT_TRUE(press('A'));
  EXPECT_EQ(list->ItemIndex(), 0);
}

// ----------------------------------------------------- anchors and mouse

TEST_F(HTMListFixture, TheHandCursorAndTheEnterAndExitEventsFollowTheMouse) {
  list->AddItem("<A href=\"http://example.com/\">web link</A>");
  list->AddItem("no anchor here");
  list->AddItem("<A href=plain>written without quotes</A>");
  list->AddItem("<A href=\"one\">first</A>");
  list->AddItem("<A href=\"two\">second</A>");
  std::vector<std::string> events;
  list->OnAnchorEnter = [&](TObject* sender, int index, const std::string& anchor) {
    EXPECT_EQ(sender, list);
    events.push_back("enter " + std::to_string(index) + " " + anchor);
  };
  // An exit names the entry of the anchor left, wherever the mouse went.
  list->OnAnchorExit = [&](TObject*, int index, const std::string& anchor) {
    events.push_back("exit " + std::to_string(index) + " " + anchor);
  };

  MoveTo(TextOf(1).X, TextOf(1).Y);
  EXPECT_FALSE(HandCursor());
  const TPoint link = TextOf(0);
  MoveTo(link.X, link.Y);
  EXPECT_TRUE(test::PumpUntil(HandCursor)) << "no hand cursor over the link";
  MoveTo(link.X + 4, link.Y);  // still on the link: nothing new
  MoveTo(TextOf(1).X, TextOf(1).Y);
  EXPECT_TRUE(test::PumpUntil([] { return !HandCursor(); })) << "the hand cursor stays off the link";
  MoveTo(TextOf(2).X, TextOf(2).Y);  // an anchor without a value is no anchor
  EXPECT_FALSE(HandCursor());
  MoveTo(TextOf(3).X, TextOf(3).Y);
  MoveTo(TextOf(4).X, TextOf(4).Y);  // from an anchor straight onto the next entry's
  MoveTo(-4, TextOf(4).Y);           // off the list from an anchor
  EXPECT_TRUE(test::PumpUntil([&] { return events.size() >= 6; }));
  EXPECT_EQ(events, (std::vector<std::string>{"enter 0 http://example.com/", "exit 0 http://example.com/",
                                              "enter 3 one", "exit 3 one", "enter 4 two", "exit 4 two"}));
}

TEST_F(HTMListFixture, OnlyWebAndMailLinksAreOpenedOtherAnchorsAreTheProgramsToHandle) {
  const std::vector<std::string> anchors = {
      "http://example.com/",    "HTTPS://example.com/x", "mailto:someone@example.com",
      "file://server/share/x.exe", "\\\\server\\share\\x.exe", "javascript:x://", "custom-handler://run",
      "plainword",
  };
  for (const std::string& anchor : anchors) list->AddItem("<A href=\"" + anchor + "\">link text</A>");
  list->AddItem("<A href=noquotes>link text</A>");
  std::vector<std::string> clicked;
  list->OnAnchorClick = [&](TObject*, int index, const std::string& anchor) {
    clicked.push_back(std::to_string(index) + " " + anchor);
  };
  for (int i = 0; i < list->Count(); ++i) {
    ClickAt(TextOf(i).X, TextOf(i).Y);
    EXPECT_TRUE(test::PumpUntil([&] { return list->ItemIndex() == i; })) << "the click still selects entry " << i;
  }
  EXPECT_EQ(opened, (std::vector<std::string>{anchors[0], anchors[1], anchors[2]}));
  EXPECT_EQ(clicked, (std::vector<std::string>{"3 " + anchors[3], "4 " + anchors[4], "5 " + anchors[5],
                                               "6 " + anchors[6], "7 " + anchors[7]}));
}

TEST_F(HTMListFixture, IsAnchorFindsTheEntryAndTheAnchorUnderAPoint) {
  list->AddItem("plain");
  list->AddItem("<A href=\"go\">anchor</A>");
  std::string anchor = "stale";
  int index = 99;
  EXPECT_FALSE(list->IsAnchor(TextOf(0).X, TextOf(0).Y, anchor, index));
  EXPECT_EQ(anchor, "");
  EXPECT_EQ(index, 0);
  EXPECT_TRUE(list->IsAnchor(TextOf(1).X, TextOf(1).Y, anchor, index));
  EXPECT_EQ(anchor, "go");
  EXPECT_EQ(index, 1);
  list->Clear();
  EXPECT_FALSE(list->IsAnchor(5, 5, anchor, index));
  EXPECT_EQ(index, -1);
}

TEST_F(HTMListFixture, HintsShowTheEntryOrTheAnchorUnderTheMouse) {
  list->AddItem("<B>first</B> entry");
  list->AddItem("second");
  list->AddItem("<A href=\"target\">anchor</A>");
  auto tip = [&]() -> std::string {
    HWND window = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM found) -> BOOL {
          char name[64] = {};
          GetClassNameA(w, name, sizeof name);
          if (std::string(name) != TOOLTIPS_CLASSA || !IsWindowVisible(w)) return TRUE;
          *reinterpret_cast<HWND*>(found) = w;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&window));
    if (!window) return "(none)";
    char text[256] = {};
    TTTOOLINFOA info{};
    info.cbSize = sizeof(info);
    info.hwnd = list->Handle();
    info.uId = 1;
    info.lpszText = text;
    SendMessageA(window, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&info));
    return text;
  };
  MoveTo(TextOf(0).X, TextOf(0).Y);
  EXPECT_EQ(tip(), "(none)");  // hints are off
  list->SetItemHint(true);
  MoveTo(TextOf(0).X + 1, TextOf(0).Y);
  EXPECT_EQ(tip(), "first entry");
  MoveTo(TextOf(1).X, TextOf(1).Y);
  EXPECT_EQ(tip(), "second");
  list->SetHTMLHint(true);
  MoveTo(TextOf(0).X, TextOf(0).Y);
  EXPECT_EQ(tip(), "<B>first</B> entry");
  MoveTo(TextOf(0).X, list->ClientHeight() - 2);  // below the last entry
  EXPECT_EQ(tip(), "(none)");

  list->SetAnchorHint(true);
  list->OnAnchorHint = [&](TObject*, int index, std::string& anchor) { anchor += " of " + std::to_string(index); };
  MoveTo(TextOf(2).X, TextOf(2).Y);
  EXPECT_EQ(tip(), "target of 2");
  MoveTo(TextOf(1).X, TextOf(1).Y);  // no anchor under the mouse: no hint
  EXPECT_EQ(tip(), "(none)");
}

// Mouse moves over an entry read the layout its painting made, whatever
// hints show: an entry never drawn with its text is laid out by the first
// move only.
TEST_F(HTMListFixture, MouseMovesOverAnEntryLayItOutAtMostOnce) {
  list->AddItem("<BODY bgcolor=\"#FFE0C0\">text <A href=\"target\">anchor</A> text...");
  UpdateWindow(list->Handle());
  // (An item hint is shown over the entry itself and would take the moves.)
  struct Case {
    bool anchor_hint;
    bool text_changed;  // after painting, so no layout of the new text is kept
    int layouts;
  } const cases[] = {{false, false, 0}, {true, false, 0}, {false, true, 1}, {true, true, 1}};
  int round = 0;
  for (const Case& c : cases) {
    list->SetAnchorHint(c.anchor_hint);
    if (c.text_changed) {
      // Set while the list does not paint: the change is only seen by moves.
      SendMessageA(list->Handle(), WM_SETREDRAW, FALSE, 0);
      list->SetItem(0, "<BODY bgcolor=\"#FFE0C0\">text <A href=\"target\">anchor</A> text " +
                           std::to_string(++round) + "...");
    }
    const TRect r = list->ItemRect(0);
    const int moves_before = list->mouse_moves;
    const int layouts_before = list->layouts;
    for (int x = r.Left + 2; x < r.Left + 80; x += 13) MoveTo(x, r.Top + r.Height() / 2);
    EXPECT_EQ(list->layouts - layouts_before, c.layouts)
        << "anchor hint " << c.anchor_hint << ", text changed " << c.text_changed;
    EXPECT_GT(list->mouse_moves - moves_before, 2);
    SendMessageA(list->Handle(), WM_SETREDRAW, TRUE, 0);
    UpdateWindow(list->Handle());
  }
}

// An entry with pictures is laid out for the mouse as it is when painted:
// a picture in an anchor under the mouse shows its alternative.
TEST_F(HTMListFixture, APictureInAnAnchorUnderTheMouseShowsItsAlternativeWhenPainted) {
  TPictureContainer container(nullptr);
  const auto add = [&](const char* name, std::uint8_t color) {
    TPictureItem& item = container.Items().Add();
    item.SetName(name);
    TMemoryStream stream(test::BuildAnimatedGif({{color, 10}}));
    THTMLPicture picture;
    picture.LoadFromStream(stream);
    item.SetPicture(picture);
  };
  add("plain", 1);
  add("hovered", 2);
  list->SetPictureContainer(&container);
  list->AddItem("<A href=\"x\"><IMG src=\"plain\" alt=\"hovered\" width=\"12\" height=\"12\"></A> text");
  const auto color_at_picture = [&] {
    TBitmap drawn(list->ClientWidth(), list->ClientHeight());
    SendMessageA(list->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(drawn.Canvas().Handle()), PRF_CLIENT);
    return drawn.Pixel(9, 6);
  };
  const TColor red = 0x0000FF, green = 0x00FF00;
  struct Case {
    TPoint mouse;
    TColor shown;
  } const cases[] = {{{9, 6}, green}, {{150, 200}, red}, {{8, 5}, green}, {{60, 6}, red}};
  for (const Case& c : cases) {
    MoveTo(c.mouse.X, c.mouse.Y);
    EXPECT_EQ(color_at_picture(), c.shown) << "mouse at " << c.mouse.X << ", " << c.mouse.Y;
  }
  list->SetPictureContainer(nullptr);
}

// Pixels of the entry's rectangle in the window drawn in a colour.
int PixelsOf(THTMListBox& list, int index, COLORREF colour) {
  const TRect r = list.ItemRect(index);
  HDC dc = GetDC(list.Handle());
  int count = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) count += GetPixel(dc, x, y) == colour;
  ReleaseDC(list.Handle(), dc);
  return count;
}

// The entry's pixels in the window.
std::vector<COLORREF> EntryPixels(THTMListBox& list, int index) {
  const TRect r = list.ItemRect(index);
  HDC dc = GetDC(list.Handle());
  std::vector<COLORREF> pixels;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) pixels.push_back(GetPixel(dc, x, y));
  ReleaseDC(list.Handle(), dc);
  return pixels;
}

TEST_F(HTMListFixture, BlinkingTextDisappearsAndComesBackWhileBlinkIsOn) {
  struct Case {
    const char* name;
    int blinking;  // the entry with blinking text
    int count;
    int line_spacing;
    bool selected;
  };
  const Case cases[] = {
      {"first of two", 0, 2, 0, false},
      {"between two others", 1, 3, 0, false},  // neither the first nor the last entry in view
      {"with line spacing", 0, 2, 5, false},
      {"selected", 0, 2, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    list->SetEnableBlink(false);
    list->Clear();
    list->SetLineSpacing(c.line_spacing);
    for (int i = 0; i < c.count; ++i) list->AddItem(i == c.blinking ? "<BLINK>blinking text</BLINK>" : "steady text");
    list->SetItemIndex(c.selected ? c.blinking : -1);
    const int steady = c.blinking == 0 ? 1 : 0;
    const COLORREF ink = GetSysColor(c.selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    const auto text = [&] { return PixelsOf(*list, c.blinking, ink); };
    UpdateWindow(list->Handle());
    ASSERT_GT(text(), 0);
    list->SetEnableBlink(true);
    EXPECT_TRUE(test::PumpUntil([&] { return text() == 0; })) << "the text never disappeared";
    EXPECT_GT(PixelsOf(*list, steady, GetSysColor(COLOR_WINDOWTEXT)), 0) << "text that does not blink stays";
    EXPECT_TRUE(test::PumpUntil([&] { return text() > 0; })) << "the text never came back";
    const std::vector<COLORREF> blinked = EntryPixels(*list, c.blinking);
    list->Invalidate();
    UpdateWindow(list->Handle());
    EXPECT_EQ(EntryPixels(*list, c.blinking), blinked) << "the blink draws the entry as painting does";
    EXPECT_TRUE(test::PumpUntil([&] { return text() == 0; })) << "the text disappeared only once";
  }
  list->SetEnableBlink(false);  // stops the timer and repaints: the text is back for good
  const auto text = [&] { return PixelsOf(*list, 0, GetSysColor(COLOR_HIGHLIGHTTEXT)); };
  EXPECT_TRUE(test::PumpUntil([&] { return text() > 0; }));
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(700);
  test::PumpUntil([&] { return std::chrono::steady_clock::now() > until || text() == 0; });
  EXPECT_GT(text(), 0) << "still blinking after EnableBlink went off";
}

// The list as the main window shows it: tinted entries, one wrapped over
// two lines, one with markup and a link, one selected, the list's colour
// below the last. Painted into a memory bitmap by the list itself.
TEST_F(HTMListFixture, EntriesDrawAsTheGoldenImage) {
  list->AddItem("<BODY bgcolor=\"#FFA0B0\">Hello...");
  list->AddItem("<BODY bgcolor=\"#FFE0C0\">The quick brown fox jumps over the lazy dog while five boxing "
                "wizards jump...");
  list->AddItem("<BODY bgcolor=\"#FFC0FF\">A selected <B>entry</B>...");
  list->AddItem("<BODY bgcolor=\"#FFFFA0\"><A href=\"http://example.com/\">link</A>, <I>italic</I> and "
                "<FONT color=\"clred\">red</FONT>...");
  list->SetItemIndex(2);
  ::SetFocus(form->Handle());  // no focus rectangle in the picture
  TBitmap drawn(list->ClientWidth(), list->ClientHeight());
  SendMessageA(list->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(drawn.Canvas().Handle()), PRF_CLIENT);
  EXPECT_TRUE(test::MatchesGoldenImage(drawn, "html_listbox_entries"));
}

TEST_F(HTMListFixture, PaintingAgainGivesTheSamePictureAndChangedSettingsShow) {
  list->AddItem("<BODY bgcolor=\"#FFE0C0\"><A href=\"x\">link</A> text...");
  list->AddItem("<IMG src=\"IDX:0\">pictures are always drawn");
  list->AddItem("<P align=\"right\">on the right");
  list->SetItemIndex(1);
  auto paint = [&] {
    auto drawn = std::make_unique<TBitmap>(list->ClientWidth(), list->ClientHeight());
    SendMessageA(list->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(drawn->Canvas().Handle()), PRF_CLIENT);
    std::vector<TColor> pixels;
    for (int y = 0; y < drawn->Height(); ++y)
      for (int x = 0; x < drawn->Width(); ++x) pixels.push_back(drawn->Pixel(x, y));
    return pixels;
  };
  // An entry is laid out once: its first paint goes straight onto the list,
  // the second into the picture kept for later ones, both from its kept
  // layout; the entry with a picture is laid out every time.
  std::vector<int> layouts;
  const auto counted_paint = [&] {
    const int before = list->layouts;
    std::vector<TColor> pixels = paint();
    layouts.push_back(list->layouts - before);
    return pixels;
  };
  const std::vector<TColor> first = counted_paint();
  EXPECT_EQ(counted_paint(), first);
  EXPECT_EQ(counted_paint(), first);
  EXPECT_EQ(layouts, (std::vector<int>{3, 1, 1}));
  list->SetURLColor(clRed);
  const std::vector<TColor> red = paint();
  EXPECT_NE(red, first) << "the link is drawn in the new colour";
  list->SetURLColor(clBlue);
  EXPECT_EQ(paint(), first);
  // Laid out 4096 pixels wide, the right-aligned text leaves the view.
  list->SetScrollHorizontal(true);
  const std::vector<TColor> sideways = paint();
  EXPECT_NE(sideways, first);
  list->Invalidate();
  EXPECT_EQ(paint(), sideways) << "a kept picture of the narrower layout was shown";
  list->SetScrollHorizontal(false);
  EXPECT_EQ(paint(), first);
  list->SelectionColors().SetColorFrom(clLime);  // the list does not repaint for it, but a paint shows it
  EXPECT_NE(paint(), first);
}

// The entry draws its focus frame by inverting and the base inverts it once
// more: on a selected entry the two cancel, at odd tops as at even ones.
// Without the selection colours the entry's fill covers the first frame and
// the base's shows.
TEST_F(HTMListFixture, TheTwoFocusFramesOfASelectedEntryCancelAtAnyTop) {
  for (int i = 0; i < 3; ++i) list->AddItem("x");  // 13 pixels high: tops 0, 13 and 26
  list->SetFocus();
  struct Case {
    int index;
    bool show_selection;
    bool frame_shows;
  };
  const Case cases[] = {{0, true, false}, {1, true, false}, {2, true, false}, {1, false, true}};
  for (const Case& c : cases) {
    list->SetShowSelection(c.show_selection);
    list->SetItemIndex(c.index);
    ASSERT_EQ(GetFocus(), list->Handle());
    const TRect r = list->ItemRect(c.index);
    ASSERT_EQ(r.Top, 13 * c.index);
    // Drawn straight, then into the picture kept, then from that picture.
    for (int paint = 1; paint <= 3; ++paint) {
      TBitmap drawn(list->ClientWidth(), list->ClientHeight());
      SendMessageA(list->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(drawn.Canvas().Handle()), PRF_CLIENT);
      const TColor fill = drawn.Pixel(r.Right - 5, r.Top + r.Height() / 2);
      int framed = 0;
      for (int x = r.Left; x < r.Right; ++x)
        framed += (drawn.Pixel(x, r.Top) != fill) + (drawn.Pixel(x, r.Bottom - 1) != fill);
      for (int y = r.Top; y < r.Bottom; ++y)
        framed += (drawn.Pixel(r.Left, y) != fill) + (drawn.Pixel(r.Right - 1, y) != fill);
      if (c.frame_shows) {
        EXPECT_GT(framed, 0) << "entry " << c.index << ", paint " << paint;
      } else {
        EXPECT_EQ(framed, 0) << "entry " << c.index << ", paint " << paint;
      }
    }
  }
}

TEST_F(HTMListFixture, ImagesAndPictureContainerAreLetGoWhenTheyGoAway) {
  auto* images = new TImageList(nullptr);
  auto* container = new TPictureContainer(nullptr);
  list->SetImages(images);
  list->SetPictureContainer(container);
  EXPECT_EQ(list->Images(), images);
  EXPECT_EQ(list->PictureContainer(), container);
  list->AddItem("<IMG src=\"IDX:0\"> and <IMG src=\"named\">");
  delete images;
  EXPECT_EQ(list->Images(), nullptr);
  EXPECT_EQ(list->PictureContainer(), container);
  delete container;
  EXPECT_EQ(list->PictureContainer(), nullptr);
  list->Invalidate();
  UpdateWindow(list->Handle());  // drawing without them is safe
  EXPECT_EQ(list->ItemHeightOf(0), 13);
}

TEST(HTMListStartValues, AreThoseOfTheList) {
  THTMListBox list(nullptr);
  EXPECT_FALSE(list.AnchorHint());
  EXPECT_TRUE(list.AutoItemHeight());
  EXPECT_FALSE(list.Ellipsis());
  EXPECT_FALSE(list.EnableBlink());
  EXPECT_FALSE(list.HTMLHint());
  EXPECT_EQ(list.Images(), nullptr);
  EXPECT_FALSE(list.IncrLookup());
  EXPECT_EQ(list.ItemHeight(), 16);
  EXPECT_FALSE(list.ItemHint());
  EXPECT_EQ(list.LineSpacing(), 0);
  EXPECT_FALSE(list.Multiline());
  EXPECT_EQ(list.PictureContainer(), nullptr);
  EXPECT_FALSE(list.ScrollHorizontal());
  EXPECT_EQ(list.SelectionColors().ColorFrom(), clHighlight);
  EXPECT_EQ(list.SelectionFontColor(), clHighlightText);
  EXPECT_EQ(list.ShadowColor(), clGray);
  EXPECT_EQ(list.ShadowOffset(), 1);
  EXPECT_TRUE(list.ShowFocus());
  EXPECT_TRUE(list.ShowSelection());
  EXPECT_FALSE(list.Sorted());
  EXPECT_FALSE(list.SortWithHTML());
  EXPECT_EQ(list.URLColor(), clBlue);
  list.SetVersion("2.0");
  EXPECT_EQ(list.Version(), "1.9.1.4");
  EXPECT_FALSE(list.HandleAllocated()) << "nothing above needs the window";
}

// An entry shorter than its markup is cut at its rectangle, whether or not
// its body is tinted: drawn alone onto a picture, it leaves the rows below it
// as they were. Its own rows do change, so the entry was drawn.
TEST_F(HTMListFixture, AnEntryDrawnAloneStaysInsideItsRectangle) {
  constexpr TColor kUntouched = 0x00FF00;  // the same on any colour depth
  // Two lines are 26 pixels high; the descenders of the second one lie
  // within the 4 pixels an entry is laid out taller than its rectangle.
  for (const char* markup : {"two<BR>jumpy", "<BODY bgcolor=\"#FFA0B0\">two<BR>jumpy"}) {
    SCOPED_TRACE(markup);
    list->Clear();
    list->SetAutoItemHeight(true);
    list->AddItem(markup);
    list->AddItem("below");  // the last entry also paints what lies under it
    list->SetAutoItemHeight(false);
    list->SetItemHeight(24);
    ASSERT_EQ(list->ItemHeightOf(0), 24);
    TBitmap drawn(list->ClientWidth(), 40);
    drawn.Canvas().Brush().SetColor(kUntouched);
    drawn.Canvas().FillRect(TRect{0, 0, drawn.Width(), drawn.Height()});
    // The entry's first paint, as the list's window asks its parent for it.
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_LISTBOX;
    item.CtlID = static_cast<UINT>(GetDlgCtrlID(list->Handle()));
    item.itemID = 0;
    item.itemAction = ODA_DRAWENTIRE;
    item.hwndItem = list->Handle();
    item.hDC = drawn.Canvas().Handle();
    item.rcItem = RECT{0, 0, drawn.Width(), 24};
    SendMessageA(GetParent(list->Handle()), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
    int inside = 0;
    int outside = 0;
    for (int y = 0; y < drawn.Height(); ++y) {
      for (int x = 0; x < drawn.Width(); ++x) (y < 24 ? inside : outside) += drawn.Pixel(x, y) != kUntouched;
    }
    EXPECT_GT(inside, 0) << "the entry was not drawn";
    EXPECT_EQ(outside, 0) << "the entry's second line reached below it";
  }
  list->SetItemHeight(16);
  list->SetAutoItemHeight(true);
}

TEST_F(HTMListFixture, WithoutAutoItemHeightEveryEntryTakesItemHeight) {
  list->AddItem("one line");
  list->AddItem("two<BR>lines");
  EXPECT_EQ(list->ItemHeightOf(1), 26);
  list->SetAutoItemHeight(false);
  EXPECT_EQ(list->ItemHeightOf(0), 16);
  EXPECT_EQ(list->ItemHeightOf(1), 16);
  list->SetItemHeight(20);
  EXPECT_EQ(list->ItemHeightOf(1), 20);
  list->AddItem("three<BR>lines<BR>here");  // an entry added later is measured all the same
  EXPECT_EQ(list->ItemHeightOf(2), 39);
  list->SetAutoItemHeight(true);
  EXPECT_EQ(list->ItemHeightOf(0), 14);
  EXPECT_EQ(list->ItemHeightOf(1), 27);
}

TEST_F(HTMListFixture, HorizontalScrollingFollowsTheWidestEntry) {
  const std::string wide(120, 'w');
  const int full_height = list->ClientHeight();
  list->AddItem("short");
  EXPECT_EQ(list->HorizontalExtent(), 0);
  list->SetScrollHorizontal(true);
  EXPECT_EQ(list->HorizontalExtent(), 0) << "nothing wider than the list";
  EXPECT_EQ(list->ClientHeight(), full_height) << "no horizontal scroll bar";
  list->AddItem(wide);
  EXPECT_EQ(list->ItemHeightOf(1), 13) << "laid out 4096 pixels wide: no wrapping";
  const int widest = list->MaxHorizontalExtent();
  EXPECT_GT(widest, list->ClientWidth());
  EXPECT_EQ(list->HorizontalExtent(), widest);
  EXPECT_EQ(list->ClientHeight(), full_height - GetSystemMetrics(SM_CYHSCROLL)) << "a horizontal scroll bar";

  // Scrolling moves the entry's drawing left by as much.
  const auto row = [this] {
    UpdateWindow(list->Handle());
    const TRect r = list->ItemRect(1);
    HDC dc = GetDC(list->Handle());
    std::vector<COLORREF> pixels;
    pixels.reserve(list->ClientWidth());
    for (int x = 0; x < list->ClientWidth(); ++x) pixels.push_back(GetPixel(dc, x, r.Top + r.Height() / 2));
    ReleaseDC(list->Handle(), dc);
    return pixels;
  };
  const std::vector<COLORREF> unscrolled = row();
  constexpr int kScrolled = 40;
  SendMessageA(list->Handle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, kScrolled), 0);
  EXPECT_EQ(GetScrollPos(list->Handle(), SB_HORZ), kScrolled);
  const std::vector<COLORREF> scrolled = row();
  ASSERT_EQ(scrolled.size(), unscrolled.size());
  EXPECT_NE(scrolled, unscrolled);
  EXPECT_TRUE(std::equal(scrolled.begin(), scrolled.end() - kScrolled, unscrolled.begin() + kScrolled))
      << "the text is not drawn 40 pixels further left";
  SendMessageA(list->Handle(), WM_HSCROLL, SB_LEFT, 0);
  EXPECT_EQ(row(), unscrolled);

  list->BeginUpdate();
  list->DeleteItem(1);
  EXPECT_EQ(list->HorizontalExtent(), widest) << "not while an update runs";
  list->EndUpdate();
  EXPECT_EQ(list->HorizontalExtent(), 0);
  EXPECT_EQ(list->ClientHeight(), full_height) << "the bar goes with the widest entry";
  list->AddItem(wide);  // the widest entry again, after the last one went
  EXPECT_EQ(list->HorizontalExtent(), widest);
  list->DeleteItem(1);
  EXPECT_EQ(list->HorizontalExtent(), 0);
  list->AddItem(wide);
  list->Clear();
  EXPECT_EQ(list->HorizontalExtent(), 0);
}

TEST_F(HTMListFixture, ASelectionGradientRunsFromColorFromToColorTo) {
  list->AddItem("<BODY bgcolor=\"#FFE0C0\">entry...");
  list->SetItemIndex(0);
  ::SetFocus(form->Handle());
  list->SelectionColors().SetColorFrom(clBlue);
  list->SelectionColors().SetColorTo(clRed);
  list->SelectionColors().SetBorderColor(clNone);
  auto paint = [&] {
    auto drawn = std::make_unique<TBitmap>(list->ClientWidth(), list->ClientHeight());
    SendMessageA(list->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(drawn->Canvas().Handle()), PRF_CLIENT);
    return drawn;
  };
  const TRect r = list->ItemRect(0);
  auto horizontal = paint();
  EXPECT_EQ(horizontal->Pixel(r.Left, r.Bottom - 1), clBlue);
  const TColor right_end = horizontal->Pixel(r.Right - 1, r.Bottom - 1);
  EXPECT_GT(right_end & 0xFF, 0xF0u) << "nearly red at the right end";
  EXPECT_LT(right_end >> 16, 0x10u);
  list->SelectionColors().SetColorMirrorFrom(clLime);
  list->SelectionColors().SetColorMirrorTo(clLime);
  list->SelectionColors().SetBorderColor(clBlack);
  auto mirrored = paint();
  const TColor top = mirrored->Pixel(r.Left + 5, r.Top + 1);
  EXPECT_GT(top >> 16, top & 0xFF) << "the top half starts from ColorFrom, blue, towards red";
  EXPECT_EQ(mirrored->Pixel(r.Left + 5, r.Bottom - 2), clLime) << "bottom half in the mirror colours";
  EXPECT_EQ(mirrored->Pixel(r.Left, r.Top + 5), clBlack) << "framed in BorderColor";
}

}  // namespace
}  // namespace plx
