// The main window under a long run of drops through its real drop-target
// object (the calls OLE makes, in its order), interleaved with selections,
// Remove, Clear All, Copy, scrolling and repaints. After every step the list,
// the clip store and a model of what was dropped agree byte for byte; at the
// end nothing the run made is still held.
//
// 10,000 drops by default, selecting clips up to 16 KB; PLEXORIA_SOAK_LONG=1
// makes 100,000 drops and selects clips of any size; PLEXORIA_SOAK_DROPS sets
// another number of drops and PLEXORIA_SOAK_SEED another random sequence.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "app/Form1.h"
#include "framework/Application.h"
#include "tests/dragdrop/TestDataObject.h"
#include "tests/support/Clipboard.h"
#include "tests/support/ResourceCounts.h"
#include "tests/support/WindowTestSupport.h"

namespace plx {
namespace {

using test::MakeDataObject;
using test::TMisbehaviour;
using test::TOfferedFormat;
using test::TTestDataObject;

constexpr std::size_t kMegabyte = 1 << 20;

unsigned long EnvNumber(const char* name, unsigned long fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::strtoul(value, nullptr, 10) : fallback;
}

// What a drop of a generated data object must give: a clip holding these
// bytes, or no clip at all.
struct TGeneratedDrop {
  const char* kind;
  std::vector<TOfferedFormat> offered;
  bool adds_clip;
  std::string clip_text;
  // A fixed block asked for with no bytes holds what the system rounded it
  // up to (Wine: one byte of whatever was there).
  bool rounded_up = false;
};

class TDropGenerator {
 public:
  explicit TDropGenerator(unsigned seed) : random_(seed) {
    random_pool_.resize(kMegabyte);
    for (char& c : random_pool_) c = static_cast<char>(random_());
    static const char* const kWords[] = {"clip ", "the ", "text\r\n", "  ", "\t", "dropped ", "on ", "a ", "list. "};
    static const char* const kMarkup[] = {
        "<B>bold</B> ", "<I>", "</I>", "<U>u</U>", "<FONT color=\"clRed\" bgcolor=\"#00FF00\">f</FONT>",
        "<FONT face=\"Symbol\" size=\"14\">s", "<A href=\"http://example.test/\">link</A>", "<BR>", "<HR>",
        "&amp;", "&lt;", "&#65;", "&nosuch;", "<", ">", "<SUB>2</SUB>", "<SUP>3</SUP>", "<P align=\"right\">",
        "<SHAD>sh</SHAD>", "<BODY bgcolor=\"#FFFFFF\">", "</BODY>", "<LI>item", "<UL>", "</UL>", "plain words ",
        "<FONT color=\"#\">", "<FONT size=\"-99999999999\">", "<<>>", "\"quoted\" ", "<A href=\"\">x</A>",
        "<BR>\r\n", "\r\n",
    };
    words_pool_ = Pool(kWords);
    markup_pool_ = Pool(kMarkup);
  }

  std::mt19937& Random() { return random_; }

  // Sizes spread evenly over their orders of magnitude, from 0 to 1 MB, so
  // small drops are common and a megabyte still comes often.
  std::size_t Size() {
    const int bits = Between(0, 20);
    return bits == 0 ? Between(0, 1) : std::min<std::size_t>(kMegabyte, (std::size_t{1} << (bits - 1)) + Between(0, (1 << (bits - 1))));
  }

  TGeneratedDrop Next() {
    switch (Between(0, 11)) {
      case 0:
      case 1:
      case 2:
        return Accepted("words and its zero", Words(Size()) + '\0');
      case 3:
      case 4:
        return Accepted("text with markup", Markup(Size()));
      case 5:
      case 6:
        return Accepted("random bytes", RandomBytes(Size()));
      case 7: {
        // A fixed block of no bytes locks: a clip of what it holds.
        return {"empty fixed block", {{CF_TEXT, "", TYMED_HGLOBAL, TMisbehaviour::FixedEmpty}}, true, "", true};
      }
      case 8: {
        static const TMisbehaviour kHostile[] = {TMisbehaviour::GetDataFails, TMisbehaviour::LockFails,
                                                 TMisbehaviour::WrongMedium};
        return {"hostile answer", {{CF_TEXT, Words(Size()), TYMED_HGLOBAL, kHostile[Between(0, 2)]}}, false, ""};
      }
      case 9:
        return {"Unicode text only", {{CF_UNICODETEXT, std::string("w\0i\0d\0e\0\0\0", 10)}}, false, ""};
      case 10:
        return {"text on a stream only", {{CF_TEXT, "streamed", TYMED_ISTREAM}}, false, ""};
      default:
        // A moveable block of no bytes is discarded: it cannot be locked.
        return {"moveable block of no bytes", {{CF_TEXT, ""}}, false, ""};
    }
  }

  int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

 private:
  static TGeneratedDrop Accepted(const char* kind, std::string text) {
    TGeneratedDrop drop{kind, {{CF_TEXT, text}}, !text.empty(), text};
    // A moveable block of no bytes cannot be locked: the drop fails.
    if (text.empty()) drop.clip_text.clear();
    return drop;
  }

  template <std::size_t N>
  std::string Pool(const char* const (&pieces)[N]) {
    std::string pool;
    while (pool.size() < kMegabyte) pool += pieces[Between(0, static_cast<int>(N) - 1)];
    pool.resize(kMegabyte);
    return pool;
  }

  // A stretch of size bytes from a megabyte made in advance.
  std::string Slice(const std::string& pool, std::size_t size) {
    const std::size_t start = static_cast<std::size_t>(Between(0, static_cast<int>(pool.size() - size)));
    return pool.substr(start, size);
  }
  std::string Words(std::size_t size) { return Slice(words_pool_, size); }
  std::string Markup(std::size_t size) { return Slice(markup_pool_, size); }
  std::string RandomBytes(std::size_t size) { return Slice(random_pool_, size); }

  std::mt19937 random_;
  std::string words_pool_, markup_pool_, random_pool_;
};

// The preview rule: the first 80 characters, without leading and trailing
// characters below 33.
std::string ExpectedPreview(const std::string& text) {
  std::string preview = text.substr(0, 80);
  const auto blank = [](char c) { return static_cast<unsigned char>(c) < 33; };
  while (!preview.empty() && blank(preview.back())) preview.pop_back();
  std::size_t start = 0;
  while (start < preview.size() && blank(preview[start])) ++start;
  return preview.substr(start);
}

bool EntryShows(const std::string& entry, const std::string& text) {
  static const std::string kOpening = "<BODY bgcolor=\"#FF";
  const std::string ending = "\">" + ExpectedPreview(text) + "...";
  if (entry.size() != kOpening.size() + 4 + ending.size()) return false;
  if (entry.compare(0, kOpening.size(), kOpening) != 0) return false;
  for (std::size_t i = kOpening.size(); i < kOpening.size() + 4; ++i)
    if (!std::isxdigit(static_cast<unsigned char>(entry[i])) || std::islower(static_cast<unsigned char>(entry[i])))
      return false;
  return entry.compare(kOpening.size() + 4, std::string::npos, ending) == 0;
}

class SoakFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = new TForm1(nullptr);
    form_->AfterConstruction();
    ShowWindow(form_->Handle(), SW_SHOWNOACTIVATE);
    UpdateWindow(form_->Handle());
    target_ = form_->QXTextTarget1->DropTargetObject();
    target_references_ = target_->RefCount();
  }
  void TearDown() override { delete form_; }

  // DragEnter, a few DragOvers, then Drop or (sometimes) DragLeave, with the
  // point over the list, as OLE calls a registered target.
  void DropOnce(TDropGenerator& generator, std::vector<std::string>& model, int& dropsMade) {
    const TGeneratedDrop drop = generator.Next();
    SCOPED_TRACE(drop.kind);
    auto object = MakeDataObject(drop.offered);
    static const DWORD kKeys[] = {0, MK_CONTROL, MK_SHIFT, MK_CONTROL | MK_SHIFT};
    const DWORD keys = kKeys[generator.Between(0, 3)] | MK_LBUTTON;
    const TPoint screen = form_->ListBox1->ClientToScreen({generator.Between(0, 224), generator.Between(0, 256)});
    const POINTL point{screen.X, screen.Y};
    constexpr DWORD kAllowed = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    DWORD effect = kAllowed;
    ASSERT_EQ(target_->DragEnter(object.Get(), keys, point, &effect), S_OK);
    for (int over = generator.Between(0, 3); over > 0; --over) {
      effect = kAllowed;
      ASSERT_EQ(target_->DragOver(keys, point, &effect), S_OK);
    }
    if (generator.Between(0, 19) == 0) {
      ASSERT_EQ(target_->DragLeave(), S_OK);
    } else {
      effect = kAllowed;
      const HRESULT result = target_->Drop(object.Get(), keys, point, &effect);
      // Ctrl and Shift together ask for a link, which this source does not offer.
      const bool accepted = (keys & (MK_CONTROL | MK_SHIFT)) != (MK_CONTROL | MK_SHIFT);
      const bool adds = accepted && drop.adds_clip;
      EXPECT_EQ(SUCCEEDED(result), adds) << std::hex << result;
      if (adds && drop.rounded_up) {
        ASSERT_EQ(form_->Clips().Count(), static_cast<int>(model.size()) + 1);
        const std::string& held = form_->Clips().Item(form_->Clips().Count() - 1).text;
        EXPECT_LE(held.size(), 1u);
        model.push_back(held);
      } else if (adds) {
        model.push_back(drop.clip_text);
      }
      ++dropsMade;
    }
    // The drag is over: the data object and every medium it handed out have
    // been let go, and the target holds what it held before.
    EXPECT_EQ(object->RefCount(), 1);
    EXPECT_EQ(TTestDataObject::LiveMedia(), 0);
    EXPECT_EQ(target_->RefCount(), target_references_);
  }

  // Selects a clip no larger than select_limit: the memo lays a long line out
  // again and again as it wraps it (a megabyte without line breaks takes
  // Wine's edit control half a minute), so the run CI affords shows the
  // smaller clips; the long run shows them all.
  void Select(TDropGenerator& generator, const std::vector<std::string>& model) {
    std::vector<int> candidates;
    for (std::size_t i = 0; i < model.size(); ++i)
      if (model[i].size() <= select_limit_) candidates.push_back(static_cast<int>(i));
    if (candidates.empty()) return;
    const int index = candidates[static_cast<std::size_t>(generator.Between(0, static_cast<int>(candidates.size()) - 1))];
    ++selections_;
    form_->ListBox1->SetItemIndex(index);
    form_->ListBox1Click(form_->ListBox1);
    // The memo shows the clip up to its first zero.
    const std::string& text = model[static_cast<std::size_t>(index)];
    EXPECT_EQ(form_->Memo1->Text(), text.substr(0, text.find('\0'))) << "clip " << index;
  }

  void Remove(std::vector<std::string>& model) {
    const int index = form_->ListBox1->ItemIndex();
    form_->btnRemoveClick(form_->btnRemove);
    if (index >= 0 && index < static_cast<int>(model.size())) {
      model.erase(model.begin() + index);
      EXPECT_EQ(form_->Memo1->Text(), "");
    }
  }

  void ClearAll(std::vector<std::string>& model) {
    form_->btnClearClick(form_->btnClear);
    model.clear();
    EXPECT_EQ(form_->Memo1->Text(), "");
  }

  // Reading the clipboard makes Wine keep a copy of what was read for the
  // rest of the process's life (one more block each time): the text is read
  // back in the first round only, before the counts are taken; afterwards the
  // copy is seen as a new clipboard content holding text.
  void Copy() {
    test::EmptyTheClipboard();
    const DWORD sequence = GetClipboardSequenceNumber();
    form_->kivButton3Click(form_->kivButton3);
    // An empty memo has nothing to select, and the memo copies nothing then.
    const std::string shown = form_->Memo1->Text();
    if (shown.empty()) return;
    EXPECT_NE(GetClipboardSequenceNumber(), sequence);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    if (read_the_clipboard_) {
      EXPECT_EQ(test::ClipboardText(), shown.substr(0, shown.find('\0')));
    }
  }

  // Mostly the list; now and then the whole window.
  void Repaint(TDropGenerator& generator) {
    HWND list = form_->ListBox1->Handle();
    switch (generator.Between(0, 3)) {
      case 0:
        SendMessageA(list, WM_VSCROLL, SB_BOTTOM, 0);
        break;
      case 1:
        SendMessageA(list, WM_VSCROLL, SB_TOP, 0);
        break;
      case 2:
        break;
      default:
        RedrawWindow(form_->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        break;
    }
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Application().ProcessMessages();
  }

  // The target keeps the text of its last drop for getText as long as no
  // other drop comes: both measurements are taken after the same small drop
  // and a Clear All, so that what the run left behind is all that differs.
  void Settle() {
    DropText(std::string("settle\0", 7));
    std::vector<std::string> model{std::string("settle\0", 7)};
    ExpectInStep(model);
    ClearAll(model);
    ExpectInStep(model);
    test::EmptyTheClipboard();
    // Counted once every window has painted what it was asked to: a paint
    // still waiting holds regions of its own.
    EXPECT_TRUE(test::PumpUntil([] { return !AnyWindowWaitsForPaint(); }));
  }

  static BOOL CALLBACK NoteWaitingPaint(HWND window, LPARAM waiting) {
    if (GetUpdateRect(window, nullptr, FALSE)) *reinterpret_cast<bool*>(waiting) = true;
    return TRUE;
  }
  static BOOL CALLBACK NoteWaitingPaintInTree(HWND window, LPARAM waiting) {
    NoteWaitingPaint(window, waiting);
    EnumChildWindows(window, NoteWaitingPaint, waiting);
    return TRUE;
  }
  static bool AnyWindowWaitsForPaint() {
    bool waiting = false;
    EnumThreadWindows(GetCurrentThreadId(), NoteWaitingPaintInTree, reinterpret_cast<LPARAM>(&waiting));
    return waiting;
  }

  // One plain drop of text onto the list.
  void DropText(const std::string& text) {
    auto object = MakeDataObject({{CF_TEXT, text}});
    const TPoint screen = form_->ListBox1->ClientToScreen({5, 5});
    DWORD effect = DROPEFFECT_COPY;
    target_->DragEnter(object.Get(), MK_LBUTTON, POINTL{screen.X, screen.Y}, &effect);
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(target_->Drop(object.Get(), MK_LBUTTON, POINTL{screen.X, screen.Y}, &effect), S_OK);
  }

  // The list, the store and the model agree: same count, and each clip holds
  // exactly the bytes dropped and its entry shows them.
  void ExpectInStep(const std::vector<std::string>& model) {
    ASSERT_EQ(form_->Clips().Count(), static_cast<int>(model.size()));
    ASSERT_EQ(form_->ListBox1->Count(), static_cast<int>(model.size()));
    ASSERT_EQ(SendMessageA(form_->ListBox1->Handle(), LB_GETCOUNT, 0, 0), static_cast<LRESULT>(model.size()));
    for (std::size_t i = 0; i < model.size(); ++i) {
      const int index = static_cast<int>(i);
      ASSERT_TRUE(form_->Clips().Item(index).text == model[i])
          << "clip " << i << " holds other bytes: " << form_->Clips().Item(index).text.size() << " bytes, dropped "
          << model[i].size() << " after " << last_action_;
      ASSERT_TRUE(EntryShows(form_->ListBox1->Item(index), model[i])) << "entry " << i;
    }
    const bool has_clips = !model.empty();
    EXPECT_EQ(form_->btnRemove->Enabled(), has_clips);
    EXPECT_EQ(form_->btnClear->Enabled(), has_clips);
  }

  // Steps in random order until drops drops have been made.
  void Run(TDropGenerator& generator, int drops) {
    std::vector<std::string> model;
    int dropsMade = 0;
    std::size_t peakClips = 0;
    while (dropsMade < drops) {
      const int action = generator.Between(0, 99);
      last_action_ = action;
      if (action < 62) {
        DropOnce(generator, model, dropsMade);
      } else if (action < 70) {
        Select(generator, model);
      } else if (action < 86) {
        Remove(model);
      } else if (action < 90) {
        Copy();
      } else if (action < 97) {
        Repaint(generator);
      } else {
        ClearAll(model);
      }
      ExpectInStep(model);
      peakClips = std::max(peakClips, model.size());
      if (HasFatalFailure() || HasFailure()) return;
    }
    ClearAll(model);
    ExpectInStep(model);
    peak_clips_ = std::max(peak_clips_, peakClips);
  }

  TForm1* form_ = nullptr;
  TTextDropTarget* target_ = nullptr;
  LONG target_references_ = 0;
  int last_action_ = 0;
  bool read_the_clipboard_ = true;
  std::size_t select_limit_ = kMegabyte;
  std::size_t peak_clips_ = 0;
  int selections_ = 0;
};

TEST_F(SoakFixture, ThousandsOfDropsKeepListAndClipsInStepAndLeaveNothingBehind) {
  const unsigned seed = static_cast<unsigned>(EnvNumber("PLEXORIA_SOAK_SEED", 20261210));
  const bool long_run = EnvNumber("PLEXORIA_SOAK_LONG", 0) != 0;
  const int drops = static_cast<int>(EnvNumber("PLEXORIA_SOAK_DROPS", long_run ? 100000 : 10000));
  select_limit_ = long_run ? kMegabyte : 16 * 1024;
  const DWORD started = GetTickCount();
  SCOPED_TRACE("seed " + std::to_string(seed));
  TDropGenerator generator(seed);

  // A first round touches everything once (fonts, the memo's buffer, the
  // clipboard, caches that live as long as the process), so that what
  // follows is measured from a settled start.
  Run(generator, 200);
  ASSERT_FALSE(HasFailure());
  read_the_clipboard_ = false;
  Settle();
  const test::TResourceCounts start = test::CountResources();

  Run(generator, drops);
  ASSERT_FALSE(HasFailure());
  Settle();
  const test::TResourceCounts end = test::CountResources();

  std::printf("soak: %d drops, %d selections, at most %zu clips at once, %lu s\n  start %s\n  end   %s\n", drops,
              selections_, peak_clips_, static_cast<unsigned long>((GetTickCount() - started) / 1000),
              start.Describe().c_str(), end.Describe().c_str());
  EXPECT_TRUE(end.SameHandles(start)) << "start " << start.Describe() << "\nend   " << end.Describe();
  EXPECT_LE(end.heap_bytes, start.heap_bytes + kMegabyte)
      << "start " << start.Describe() << "\nend   " << end.Describe();
}

// A large drop, Clear All, then a small drop and Clear All: nothing of the large text is
// held any more, neither by the clips nor by the drop target, which keeps
// only its last (small) text. While the large clip is there its bytes show
// in the heap twice, the clip's and the target's: the measurement sees them.
TEST_F(SoakFixture, ClearAllAfterALargeDropAndASmallOneGivesTheLargeTextBack) {
  constexpr std::size_t kLarge = 8 * kMegabyte;
  Settle();
  const test::TResourceCounts before = test::CountResources();
  DropText(std::string(kLarge, 'x'));
  const test::TResourceCounts holding = test::CountResources();
  EXPECT_GE(holding.heap_bytes, before.heap_bytes + 2 * kLarge) << "holding " << holding.Describe();
  std::vector<std::string> model;
  ClearAll(model);
  Settle();
  const test::TResourceCounts after = test::CountResources();
  EXPECT_LE(after.heap_bytes, before.heap_bytes + kMegabyte)
      << "before " << before.Describe() << "\nafter  " << after.Describe();
}

}  // namespace
}  // namespace plx
