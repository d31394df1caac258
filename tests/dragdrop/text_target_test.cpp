// The text drop target: binding to its acceptor, the acceptance order, the
// effect table, Drop's results and what it reads from hostile data objects.
// The IDropTarget calls are made the way OLE makes them during a drag.
#include <gtest/gtest.h>

#include <stdexcept>

#include "dragdrop/DataObjectUtils.h"
#include "dragdrop/ObjectSlot.h"
#include "dragdrop/TextTarget.h"
#include "dragdrop/TransferBlocks.h"
#include "framework/Exception.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "framework/TextConversion.h"
#include "tests/dragdrop/DropTargetTestSupport.h"
#include "tests/dragdrop/TestDataObject.h"

namespace plx {
namespace {

using namespace std::string_literals;
using test::MakeDataObject;
using test::TMisbehaviour;
using test::TOfferedFormat;
using test::TRequest;
using test::TTestDataObject;

constexpr HRESULT kNotTried = static_cast<HRESULT>(0xFFFFFFFFu);

struct TDropRecord {
  std::string text;
  TWinControl* acceptor = nullptr;
  int x = 0, y = 0;
};

class TextTargetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = test::MakeAcceptorForm(list_);
    target_ = new TQXTextTarget(form_);
    target_->setAcceptor(list_);
    target_->OnDrop = [this](TObject* sender, TWinControl* acceptor, const std::string& text, int x, int y) {
      EXPECT_EQ(sender, target_);
      drops_.push_back({text, acceptor, x, y});
    };
  }
  void TearDown() override {
    delete form_;
    EXPECT_EQ(TTestDataObject::LiveMedia(), 0);
  }

  IDropTarget* DropTarget() { return target_->DropTargetObject(); }
  POINTL ListPoint(int x = 5, int y = 5) { return test::ScreenPoint(list_, x, y); }
  HRESULT EnterAndDrop(IDataObject* object, DWORD keys, DWORD allowed, DWORD* effect = nullptr) {
    return test::EnterAndDrop(DropTarget(), object, keys, ListPoint(), allowed, effect);
  }

  TForm* form_ = nullptr;
  TListBox* list_ = nullptr;
  TQXTextTarget* target_ = nullptr;
  std::vector<TDropRecord> drops_;
};

TEST_F(TextTargetTest, BindingRegistersAndDestroyRevokes) {
  ASSERT_TRUE(target_->Registered());
  // OLE holds the window: a second registration is refused.
  EXPECT_EQ(RegisterDragDrop(list_->Handle(), DropTarget()), DRAGDROP_E_ALREADYREGISTERED);

  list_->DestroyHandle();
  EXPECT_FALSE(target_->Registered());
  // A new window for the control is not registered by the component.
  const HWND again = list_->Handle();
  EXPECT_FALSE(target_->Registered());
  EXPECT_EQ(RevokeDragDrop(again), DRAGDROP_E_NOTREGISTERED);

  target_->setAcceptor(nullptr);
  target_->setAcceptor(list_);
  EXPECT_TRUE(target_->Registered());
  EXPECT_EQ(target_->AcceptorWindow(), list_->Handle());
}

TEST_F(TextTargetTest, SecondTargetOfTheOwnerCannotTakeTheAcceptor) {
  auto* second = new TQXTextTarget(form_);
  second->setAcceptor(list_);
  EXPECT_EQ(second->AcceptorControl(), nullptr);
  EXPECT_EQ(target_->AcceptorControl(), list_);
  EXPECT_TRUE(target_->Registered());
}

TEST_F(TextTargetTest, RemovingTheAcceptorUnbinds) {
  delete list_;
  list_ = nullptr;
  EXPECT_EQ(target_->AcceptorControl(), nullptr);
  EXPECT_FALSE(target_->Registered());
}

TEST_F(TextTargetTest, DropTargetObjectLivesAsLongAsItsHolders) {
  // The component's reference, and OLE's while the window is registered.
  EXPECT_GE(target_->DropTargetObject()->RefCount(), 2);
  TComPtr<TTextDropTarget> kept(target_->DropTargetObject());
  const LONG while_bound = kept->RefCount();
  target_->setAcceptor(nullptr);
  EXPECT_LT(kept->RefCount(), while_bound);
  delete target_;
  target_ = nullptr;
  EXPECT_EQ(kept->RefCount(), 1);  // ours alone
  // A drag reaching the orphaned object is refused, not followed into the
  // destroyed component.
  auto object = MakeDataObject({{CF_TEXT, "x"}});
  DWORD effect = DROPEFFECT_COPY;
  EXPECT_EQ(kept->DragEnter(object.Get(), 0, POINTL{0, 0}, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(kept->Drop(object.Get(), 0, POINTL{0, 0}, &effect), kNotTried);
  EXPECT_EQ(object->RefCount(), 1);
}

// The acceptance test asks only for the accepted kinds, in a fixed order.
TEST_F(TextTargetTest, AcceptanceOrder) {
  const TDragDropFormats& f = DragDropFormats();
  const UINT custom = RegisterClipboardFormatA("Plexoria Custom");
  target_->CustomFormats().Add("Plexoria Custom");
  target_->CustomFormats().AddObject("", nullptr);  // gives no format: skipped
  target_->CustomFormats().AddObject("13", ObjectSlotFromNumber(TYMED_ISTREAM));
  struct Case {
    const char* name;
    TDropTextFormats accepted;
    std::vector<TRequest> queries;
  } cases[] = {
      {"text only", {dtfText}, {{CF_TEXT, TYMED_HGLOBAL, -1}}},
      {"everything",
       {dtfURL, dtfIEHTML, dtfRichText, dtfText, dtfFiles, dtfCustom},
       {{custom, TYMED_HGLOBAL, -1},
        {CF_UNICODETEXT, TYMED_ISTREAM, -1},
        {f.URL, TYMED_HGLOBAL, -1},
        {f.NetscapeBookmark, TYMED_HGLOBAL, -1},
        {f.HTML, TYMED_HGLOBAL, -1},
        {f.RichText, TYMED_HGLOBAL, -1},
        {CF_HDROP, TYMED_HGLOBAL, -1},
        {CF_TEXT, TYMED_HGLOBAL, -1}}},
      {"files and text", {dtfFiles, dtfText}, {{CF_HDROP, TYMED_HGLOBAL, -1}, {CF_TEXT, TYMED_HGLOBAL, -1}}},
      {"URL and rich text",
       {dtfURL, dtfRichText},
       {{f.URL, TYMED_HGLOBAL, -1}, {f.NetscapeBookmark, TYMED_HGLOBAL, -1}, {f.RichText, TYMED_HGLOBAL, -1}}},
      {"nothing", {}, {}},
  };
  for (const Case& c : cases) {
    target_->setAcceptTextFormats(c.accepted);
    // An object offering nothing the target wants: every check is asked.
    auto object = MakeDataObject({{CF_OEMTEXT, "x"}});
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    DropTarget()->DragEnter(object.Get(), 0, ListPoint(), &effect);
    EXPECT_EQ(object->queries, c.queries) << c.name;
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE)) << c.name;
    DropTarget()->DragLeave();
    EXPECT_EQ(object->RefCount(), 1) << c.name;
  }
}

// Which format a drop reads when the object offers all of them.
TEST_F(TextTargetTest, DropReadsTheFirstAcceptedFormat) {
  const TDragDropFormats& f = DragDropFormats();
  target_->CustomFormats().Add("Plexoria Custom");
  const UINT custom = RegisterClipboardFormatA("Plexoria Custom");
  const std::string hdrop = BuildHDROP({"C:\\a.txt", "C:\\b.txt"});
  auto everything = [&] {
    return MakeDataObject({{CF_TEXT, "text\0"s},
                           {CF_HDROP, hdrop},
                           {f.HTML, "html"},
                           {f.RichText, "rtf"},
                           {f.NetscapeBookmark, "bookmark"},
                           {f.URL, "url"},
                           {custom, "custom"}});
  };
  struct Case {
    const char* name;
    TDropTextFormats accepted;
    std::string text;
    TDropTextFormat kind;
    int custom_index;
  } cases[] = {
      {"text", {dtfText}, "text\0"s, dtfText, -1},
      {"files before text", {dtfText, dtfFiles}, "C:\\a.txt\r\nC:\\b.txt", dtfFiles, -1},
      {"rich text before files", {dtfFiles, dtfRichText}, "rtf", dtfRichText, -1},
      {"HTML before rich text", {dtfRichText, dtfIEHTML}, "html", dtfIEHTML, -1},
      {"URL before HTML", {dtfIEHTML, dtfURL}, "url", dtfURL, -1},
      {"custom first", {dtfText, dtfURL, dtfCustom}, "custom", dtfCustom, 0},
  };
  for (const Case& c : cases) {
    drops_.clear();
    target_->setAcceptTextFormats(c.accepted);
    auto object = everything();
    EXPECT_EQ(EnterAndDrop(object.Get(), 0, DROPEFFECT_COPY), S_OK) << c.name;
    ASSERT_EQ(drops_.size(), 1u) << c.name;
    EXPECT_EQ(drops_[0].text, c.text) << c.name;
    EXPECT_EQ(target_->getText(), c.text) << c.name;
    EXPECT_EQ(target_->DroppedTextFormat(), c.kind) << c.name;
    EXPECT_EQ(target_->CustomFormatIndex(), c.custom_index) << c.name;
    // A URL drop also asks for its title.
    EXPECT_EQ(object->requests.size(), c.kind == dtfURL ? 2u : 1u) << c.name;
    EXPECT_EQ(object->RefCount(), 1) << c.name;
    EXPECT_EQ(target_->getDataObject(), nullptr) << c.name;
    EXPECT_TRUE(target_->getAvailableDropEffects().Empty()) << c.name;
  }
}

// A custom entry asks for the medium in its object slot (0: a global block);
// the text comes only from a global block, other media give an empty text.
TEST_F(TextTargetTest, CustomFormatsReadOnTheMediaTheyName) {
  const UINT custom = RegisterClipboardFormatA("Plexoria Custom");
  struct Case {
    const char* name;
    DWORD slot;
    TOfferedFormat offered;
    HRESULT result;
    bool dropped;
    std::string text;
  } cases[] = {
      {"slot 0 is a global block", 0, {custom, "abc"}, S_OK, true, "abc"},
      {"block or stream, block given", TYMED_HGLOBAL | TYMED_ISTREAM, {custom, "abc"}, S_OK, true, "abc"},
      {"block or stream, stream given", TYMED_HGLOBAL | TYMED_ISTREAM, {custom, "abc", TYMED_ISTREAM}, S_OK, true, ""},
      {"stream asked and given", TYMED_ISTREAM, {custom, "abc", TYMED_ISTREAM}, S_OK, true, ""},
      {"stream instead of block", 0, {custom, "abc", TYMED_HGLOBAL, TMisbehaviour::WrongMedium}, DV_E_TYMED, false,
       "before"},
  };
  target_->setAcceptTextFormats({dtfCustom});
  for (const Case& c : cases) {
    target_->CustomFormats().Clear();
    target_->CustomFormats().AddObject("Plexoria Not Offered", nullptr);
    target_->CustomFormats().AddObject("Plexoria Custom", ObjectSlotFromNumber(c.slot));
    auto before = MakeDataObject({{custom, "before"}, {custom, "before", TYMED_ISTREAM}});
    ASSERT_EQ(EnterAndDrop(before.Get(), 0, DROPEFFECT_COPY), S_OK) << c.name;
    drops_.clear();

    auto object = MakeDataObject({c.offered});
    DWORD effect = 0;
    EXPECT_EQ(EnterAndDrop(object.Get(), 0, DROPEFFECT_COPY, &effect), c.result) << c.name;
    const DWORD asked = c.slot == 0 ? static_cast<DWORD>(TYMED_HGLOBAL) : c.slot;
    ASSERT_FALSE(object->requests.empty()) << c.name;
    EXPECT_EQ(object->requests.back(), (TRequest{custom, asked, -1})) << c.name;
    EXPECT_EQ(effect, c.dropped ? static_cast<DWORD>(DROPEFFECT_COPY) : static_cast<DWORD>(DROPEFFECT_NONE)) << c.name;
    ASSERT_EQ(drops_.size(), c.dropped ? 1u : 0u) << c.name;
    if (c.dropped) {
      EXPECT_EQ(drops_[0].text, c.text) << c.name;
    }
    EXPECT_EQ(target_->getText(), c.text) << c.name;
    EXPECT_EQ(target_->CustomFormatIndex(), 1) << c.name;
    EXPECT_EQ(target_->DroppedTextFormat(), dtfCustom) << c.name;
    EXPECT_EQ(object->RefCount(), 1) << c.name;
    EXPECT_EQ(TTestDataObject::LiveMedia(), 0) << c.name;
  }
}

// The acceptance flag is recomputed on every change of the accepted kinds,
// also when no drag is under way: the last drag's answer does not carry over.
TEST_F(TextTargetTest, FormatChangeOutsideADragClearsAcceptance) {
  auto object = MakeDataObject({{CF_TEXT, "x"}});
  ASSERT_EQ(EnterAndDrop(object.Get(), 0, DROPEFFECT_COPY), S_OK);
  drops_.clear();
  target_->setAcceptURL(true);
  DWORD effect = DROPEFFECT_COPY;
  EXPECT_EQ(DropTarget()->Drop(object.Get(), 0, ListPoint(), &effect), kNotTried);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_TRUE(drops_.empty());
  EXPECT_EQ(object->RefCount(), 1);
}

// What a drag leaves on the target between OLE's calls: the offered effects
// of DragEnter (the scroll bit ignored), the data object held with one
// reference, the effect last reported; all gone after DragLeave.
TEST_F(TextTargetTest, DragStateBetweenCalls) {
  auto object = MakeDataObject({{CF_TEXT, "x"}});
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_SCROLL;
  ASSERT_EQ(DropTarget()->DragEnter(object.Get(), 0, ListPoint(), &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
  EXPECT_EQ(target_->getAvailableDropEffects(), (TDropEffects{deCopy, deMove}));
  EXPECT_EQ(target_->getDataObject(), object.Get());
  EXPECT_EQ(target_->DataObjectRefCount(), 2u);  // the test's and the target's
  EXPECT_EQ(target_->getDropEffect(), deMove);

  // Ctrl asks for copy; a source now allowing only move refuses it. The
  // offered effects stay those of DragEnter.
  effect = DROPEFFECT_MOVE;
  ASSERT_EQ(DropTarget()->DragOver(MK_CONTROL, ListPoint(), &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(target_->getDropEffect(), deNone);
  EXPECT_EQ(target_->getAvailableDropEffects(), (TDropEffects{deCopy, deMove}));
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  ASSERT_EQ(DropTarget()->DragOver(MK_CONTROL, ListPoint(), &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_EQ(target_->getDropEffect(), deCopy);

  ASSERT_EQ(DropTarget()->DragLeave(), S_OK);
  EXPECT_EQ(target_->getDataObject(), nullptr);
  EXPECT_TRUE(target_->getAvailableDropEffects().Empty());
  EXPECT_EQ(object->RefCount(), 1);
  // Without a held object nothing is accepted any more.
  effect = DROPEFFECT_COPY;
  ASSERT_EQ(DropTarget()->DragOver(0, ListPoint(), &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_TRUE(drops_.empty());
}

TEST_F(TextTargetTest, TextTargetRefusesUnicodeOnlySources) {
  for (UINT format : {CF_UNICODETEXT, CF_OEMTEXT}) {
    auto object = MakeDataObject({{format, "x\0"s}});
    DWORD effect = 0;
    EXPECT_EQ(EnterAndDrop(object.Get(), 0, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect), kNotTried);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_TRUE(object->requests.empty());
  }
  EXPECT_TRUE(drops_.empty());
}

// Keys x allowed effects x override: what DragEnter and Drop report, and
// whether the drop is read.
TEST_F(TextTargetTest, EffectTable) {
  constexpr DWORD none = 0, ctrl = MK_CONTROL, shift = MK_SHIFT, both = MK_CONTROL | MK_SHIFT;
  constexpr DWORD copy = DROPEFFECT_COPY, move = DROPEFFECT_MOVE, link = DROPEFFECT_LINK;
  struct Case {
    DWORD keys;
    DWORD allowed;
    bool move_as_copy;
    DWORD reported;
    bool dropped;
  } cases[] = {
      {none, copy | move, false, move, true},
      {none, copy | move | link, false, move, true},
      {none, copy, false, copy, true},
      {none, link, false, link, true},
      {none, 0, false, 0, false},
      {ctrl, copy | move, false, copy, true},
      {ctrl, move, false, 0, false},
      {shift, copy | move, false, move, true},
      {both, copy | move | link, false, link, true},
      {both, copy | move, false, 0, false},
      {none, copy | move, true, copy, true},
      // The override asks for copy, which was not offered: reported as none,
      // and the drop is still read.
      {none, move, true, 0, true},
  };
  for (const Case& c : cases) {
    drops_.clear();
    target_->SetOverrideDropEffect(deMove, c.move_as_copy ? deCopy : deMove);
    auto object = MakeDataObject({{CF_TEXT, "x"}});
    DWORD effect = c.allowed;
    DropTarget()->DragEnter(object.Get(), c.keys, ListPoint(), &effect);
    EXPECT_EQ(effect, c.reported) << "enter keys " << c.keys << " allowed " << c.allowed << " override " << c.move_as_copy;
    EXPECT_EQ(target_->getDropEffect(), EnumFromDropEffect(c.reported));
    effect = c.allowed;
    DropTarget()->DragOver(c.keys, ListPoint(6, 6), &effect);
    EXPECT_EQ(effect, c.reported) << "over keys " << c.keys << " allowed " << c.allowed;
    effect = c.allowed;
    const HRESULT result = DropTarget()->Drop(object.Get(), c.keys, ListPoint(), &effect);
    EXPECT_EQ(effect, c.reported) << "drop keys " << c.keys << " allowed " << c.allowed;
    EXPECT_EQ(result, c.dropped ? S_OK : kNotTried) << "keys " << c.keys << " allowed " << c.allowed;
    EXPECT_EQ(drops_.size(), c.dropped ? 1u : 0u) << "keys " << c.keys << " allowed " << c.allowed;
    EXPECT_EQ(object->RefCount(), 1);
  }
}

// Hostile answers to GetData: a failed read raises no OnDrop and keeps the
// previous text; nothing leaks.
TEST_F(TextTargetTest, HostileDataObjects) {
  auto first = MakeDataObject({{CF_TEXT, "before\0"s}});
  ASSERT_EQ(EnterAndDrop(first.Get(), 0, DROPEFFECT_COPY), S_OK);
  drops_.clear();
  std::string unterminatedHdrop = BuildHDROP({"C:\\a"});
  unterminatedHdrop.resize(unterminatedHdrop.size() - 2);
  struct Case {
    const char* name;
    TOfferedFormat offered;
    TDropTextFormats accepted;
    HRESULT result;
  } cases[] = {
      {"GetData fails", {CF_TEXT, "x", TYMED_HGLOBAL, TMisbehaviour::GetDataFails}, {dtfText}, test::kGetDataFailure},
      {"lock fails", {CF_TEXT, "x", TYMED_HGLOBAL, TMisbehaviour::LockFails}, {dtfText}, E_HANDLE},
      {"stream instead of block", {CF_TEXT, "x", TYMED_HGLOBAL, TMisbehaviour::WrongMedium}, {dtfText}, DV_E_TYMED},
      {"file list without its end", {CF_HDROP, unterminatedHdrop}, {dtfFiles}, DV_E_FORMATETC},
      {"file list that cannot be locked", {CF_HDROP, "", TYMED_HGLOBAL, TMisbehaviour::LockFails}, {dtfFiles}, E_HANDLE},
  };
  for (const Case& c : cases) {
    target_->setAcceptTextFormats(c.accepted);
    auto object = MakeDataObject({c.offered});
    DWORD effect = 0;
    EXPECT_EQ(EnterAndDrop(object.Get(), 0, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect), c.result) << c.name;
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE)) << c.name;
    EXPECT_TRUE(drops_.empty()) << c.name;
    EXPECT_EQ(target_->getText(), "before\0"s) << c.name;
    EXPECT_EQ(object->RefCount(), 1) << c.name;
    EXPECT_EQ(TTestDataObject::LiveMedia(), 0) << c.name;
  }
}

// A file list is read only from global memory. A custom "15" may ask for
// other media; whatever pointer such a medium holds is never taken for a
// block, even when the bytes behind it look like a file list.
TEST_F(TextTargetTest, FileListsOnlyFromGlobalMemory) {
  const std::string hdrop = BuildHDROP({"C:\\forged.txt"});
  HBITMAP bitmap = CreateBitmap(1, 1, 1, 32, nullptr);
  target_->setAcceptTextFormats({dtfCustom});
  struct Case {
    const char* name;
    TOfferedFormat offered;
    HRESULT result;
  } cases[] = {
      {"global memory", {CF_HDROP, hdrop}, S_OK},
      {"file name", {CF_HDROP, hdrop, TYMED_FILE}, DV_E_TYMED},
      {"stream", {CF_HDROP, hdrop, TYMED_ISTREAM}, DV_E_TYMED},
      {"bitmap", {CF_HDROP, "", TYMED_GDI, TMisbehaviour::None, bitmap}, DV_E_TYMED},
  };
  for (const Case& c : cases) {
    drops_.clear();
    target_->CustomFormats().Clear();
    target_->CustomFormats().AddObject("15", ObjectSlotFromNumber(c.offered.tymed));
    auto object = MakeDataObject({c.offered});
    DWORD effect = 0;
    EXPECT_EQ(EnterAndDrop(object.Get(), 0, DROPEFFECT_COPY, &effect), c.result) << c.name;
    if (c.result == S_OK) {
      ASSERT_EQ(drops_.size(), 1u) << c.name;
      EXPECT_EQ(drops_[0].text, "C:\\forged.txt") << c.name;
      EXPECT_EQ(target_->DroppedTextFormat(), dtfFiles) << c.name;
    } else {
      EXPECT_TRUE(drops_.empty()) << c.name;
      EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE)) << c.name;
    }
    EXPECT_EQ(object->RefCount(), 1) << c.name;
    EXPECT_EQ(TTestDataObject::LiveMedia(), 0) << c.name;
  }
  DeleteObject(bitmap);
}

TEST_F(TextTargetTest, BlocksAreDeliveredWhole) {
  std::string big(100u << 20, 'y');
  big.back() = '\0';
  struct Case {
    const char* name;
    std::string block;
  } cases[] = {
      {"five-letter word and its zero", "Hello\0"s},
      {"no terminating zero", "abc"},
      {"bytes after the zero", "ab\0cd"s},
      {"100 MB", big},
  };
  for (const Case& c : cases) {
    drops_.clear();
    auto object = MakeDataObject({{CF_TEXT, c.block}});
    EXPECT_EQ(EnterAndDrop(object.Get(), 0, DROPEFFECT_MOVE), S_OK) << c.name;
    ASSERT_EQ(drops_.size(), 1u) << c.name;
    EXPECT_EQ(drops_[0].text.size(), c.block.size()) << c.name;
    EXPECT_TRUE(drops_[0].text == c.block) << c.name;
  }
  EXPECT_EQ(drops_[0].text.size(), big.size());
}

TEST_F(TextTargetTest, DropPointIsInAcceptorClientCoordinates) {
  auto object = MakeDataObject({{CF_TEXT, "x"}});
  DWORD effect = DROPEFFECT_COPY;
  int enterX = -1, enterY = -1;
  target_->OnDragEnter = [&](TObject*, TDropEffect reported, int x, int y) {
    EXPECT_EQ(reported, deCopy);
    enterX = x;
    enterY = y;
  };
  DropTarget()->DragEnter(object.Get(), 0, ListPoint(7, 9), &effect);
  EXPECT_EQ(enterX, 7);
  EXPECT_EQ(enterY, 9);
  effect = DROPEFFECT_COPY;
  DropTarget()->Drop(object.Get(), 0, ListPoint(0, 0), &effect);
  ASSERT_EQ(drops_.size(), 1u);
  EXPECT_EQ(drops_[0].x, 0);
  EXPECT_EQ(drops_[0].y, 0);
  EXPECT_EQ(drops_[0].acceptor, list_);
}

TEST_F(TextTargetTest, URLTitles) {
  const TDragDropFormats& f = DragDropFormats();
  target_->setAcceptTextFormats({dtfURL});
  const std::string descriptor = BuildFileGroupDescriptor({{"Shortcut to Example.url", 32, std::nullopt}});
  struct Case {
    const char* name;
    std::vector<TOfferedFormat> offered;
    std::string title;
  } cases[] = {
      {"URL", {{f.URL, "http://example.test/\0"s}, {f.FileGroupDescriptor, descriptor}}, "Shortcut to Example"},
      {"bookmark", {{f.NetscapeBookmark, "http://example.test/\0"s}, {f.FileGroupDescriptor, descriptor}}, "Example"},
      {"no descriptor", {{f.URL, "http://example.test/\0"s}}, ""},
      {"descriptor fails",
       {{f.URL, "u"}, {f.FileGroupDescriptor, "", TYMED_HGLOBAL, TMisbehaviour::GetDataFails}},
       ""},
      {"descriptor cut short", {{f.URL, "u"}, {f.FileGroupDescriptor, descriptor.substr(0, 80)}}, "Shor"},
  };
  for (const Case& c : cases) {
    drops_.clear();
    auto object = MakeDataObject(c.offered);
    EXPECT_EQ(EnterAndDrop(object.Get(), 0, DROPEFFECT_COPY), S_OK) << c.name;
    EXPECT_EQ(drops_.size(), 1u) << c.name;
    EXPECT_EQ(target_->DroppedTextFormat(), dtfURL) << c.name;
    EXPECT_EQ(target_->URLTitle(), c.title) << c.name;
  }
}

TEST_F(TextTargetTest, WideFileListsAndLines) {
  target_->setAcceptTextFormats({dtfFiles});
  auto object = MakeDataObject({{CF_HDROP, BuildHDROPWide({u"C:\\one.txt", u"C:\\two words.txt"})}});
  ASSERT_EQ(EnterAndDrop(object.Get(), 0, DROPEFFECT_COPY), S_OK);
  EXPECT_EQ(target_->getText(), "C:\\one.txt\r\nC:\\two words.txt");
  EXPECT_EQ(target_->DroppedTextFormat(), dtfFiles);
  TStringList& lines = target_->getDroppedLines();
  ASSERT_EQ(lines.Count(), 2);
  EXPECT_EQ(lines.Strings(1), "C:\\two words.txt");
}

// What a file list drop delivers, read in one pass over the block: the
// names in order with CR LF between them, empty names dropped, long names
// whole, and wide names converted to the 8-bit code page name by name.
TEST_F(TextTargetTest, FileListNamesAsTheBlockHoldsThem) {
  auto ansi = [](const std::u16string& wide) {
    const std::wstring units(wide.begin(), wide.end());
    return AnsiFromWide(units);
  };
  const std::string long_name = "C:\\" + std::string(400, 'n');
  const std::u16string outside_latin = u"C:\\\u20AC \u4E2D \U0001F600.txt";
  std::string emptyFirst = BuildHDROP({"", "C:\\x"});  // a zero where the first name would start
  struct Case {
    const char* name;
    std::string block;
    std::string text;
  } cases[] = {
      {"narrow", BuildHDROP({"C:\\a.txt", "C:\\b c.txt"}), "C:\\a.txt\r\nC:\\b c.txt"},
      {"name longer than a path buffer", BuildHDROP({long_name, "C:\\b"}), long_name + "\r\nC:\\b"},
      {"empty name first", emptyFirst, "C:\\x"},
      {"no names", BuildHDROP({}), ""},
      {"wide, Latin", BuildHDROPWide({u"C:\\caf\u00E9.txt"}), ansi(u"C:\\caf\u00E9.txt")},
      {"wide, outside Latin", BuildHDROPWide({outside_latin, u"C:\\b"}), ansi(outside_latin) + "\r\nC:\\b"},
  };
  target_->setAcceptTextFormats({dtfFiles});
  for (const Case& c : cases) {
    drops_.clear();
    auto object = MakeDataObject({{CF_HDROP, c.block}});
    EXPECT_EQ(EnterAndDrop(object.Get(), 0, DROPEFFECT_COPY), S_OK) << c.name;
    ASSERT_EQ(drops_.size(), 1u) << c.name;
    EXPECT_EQ(drops_[0].text, c.text) << c.name;
    EXPECT_EQ(target_->DroppedTextFormat(), dtfFiles) << c.name;
  }
}

TEST_F(TextTargetTest, ChangingAcceptedKindsDuringADrag) {
  auto object = MakeDataObject({{CF_UNICODETEXT, "x"}, {CF_HDROP, BuildHDROP({"C:\\f"})}});
  DWORD effect = DROPEFFECT_COPY;
  DropTarget()->DragEnter(object.Get(), 0, ListPoint(), &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(target_->getAVailableTextFormats(), (TDropTextFormats{dtfFiles, dtfCustom}));
  EXPECT_EQ(target_->DataObjectFormatList()->Count(), 2);
  EXPECT_TRUE(target_->DataObjectHasFormat("15"));
  target_->setAcceptFiles(true);
  effect = DROPEFFECT_COPY;
  DropTarget()->DragOver(0, ListPoint(), &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  target_->setAcceptFiles(false);
  effect = DROPEFFECT_COPY;
  DropTarget()->DragOver(0, ListPoint(), &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  bool left = false;
  target_->OnDragLeave = [&](TObject*) { left = true; };
  DropTarget()->DragLeave();
  EXPECT_TRUE(left);
  EXPECT_EQ(target_->getDataObject(), nullptr);
  EXPECT_EQ(object->RefCount(), 1);
}

// ---- destroying the form ----

using TLog = std::vector<std::string>;

// A text target that logs the acceptor's messages it sees and its own end.
class TWatchedTarget : public TQXTextTarget {
 public:
  TWatchedTarget(TComponent* owner, TLog& log) : TQXTextTarget(owner), log_(log) {}
  ~TWatchedTarget() override { log_.push_back("target destroyed"); }

 protected:
  bool HandleAcceptorMessage(TMessage& message) override {
    if (message.Msg == WM_APP) log_.push_back("target WM_APP");
    if (message.Msg == WM_DESTROY) log_.push_back("target WM_DESTROY");
    return TQXTextTarget::HandleAcceptorMessage(message);
  }

 private:
  TLog& log_;  // outlives the target
};

// Keeps messages flowing to the list while the form is torn down: each time
// the list or the target goes, one WM_APP is sent to the list, for as long
// as the list is there (it is whole while it is told it goes).
class TMessageFlow : public TComponent {
 public:
  TMessageFlow(TListBox* list, TComponent* target) : TComponent(nullptr), list_(list) {
    FreeNotification(list);
    FreeNotification(target);
  }

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation != TOperation::opRemove || !list_) return;
    list_->Perform(WM_APP);
    if (component == list_) list_ = nullptr;
  }

 private:
  TListBox* list_;
};

// The form goes with its list and target, in either order of creation, while
// messages still reach the list: none reaches the target once it is
// destroyed, and the list goes on handling them to its end. The logged
// "target WM_APP" is the positive control: a message does pass through the
// target while the target is there to see it.
TEST(TextTargetLifetime, FormDestroyedWhileMessagesFlowToTheList) {
  struct Case {
    const char* name;
    bool target_first;
    TLog log;
  } cases[] = {
      // As on the main window: the target goes first, the list after it.
      {"target created after the list", false,
       {"target WM_DESTROY", "list WM_DESTROY", "target WM_APP", "list WM_APP", "target destroyed", "list WM_APP"}},
      // The list goes first and the target lets go of it as it goes.
      {"target created before the list", true,
       {"target WM_DESTROY", "list WM_DESTROY", "target WM_APP", "list WM_APP", "target destroyed"}},
  };
  for (const Case& c : cases) {
    TLog log;
    TForm* form = new TForm(nullptr);
    form->SetBounds(100, 100, 300, 300);
    TWatchedTarget* target = c.target_first ? new TWatchedTarget(form, log) : nullptr;
    auto* list = new TListBox(form);
    list->SetParent(form);
    list->SetBounds(10, 20, 200, 150);
    // Added before the target's hook: it sees what gets past the target.
    list->AddWindowProcHook([&log](TMessage& message, const TWndMethod& next) {
      if (message.Msg == WM_APP) log.push_back("list WM_APP");
      if (message.Msg == WM_DESTROY) log.push_back("list WM_DESTROY");
      next(message);
    });
    if (!target) target = new TWatchedTarget(form, log);
    target->setAcceptor(list);
    ASSERT_TRUE(target->Registered()) << c.name;
    auto* flow = new TMessageFlow(list, target);

    delete form;
    EXPECT_EQ(log, c.log) << c.name;
    delete flow;
  }
}

// A handler that throws is the application's to show. OLE still gets the
// answer the drag calls for, and the drag ends on every path: the data
// object is let go after DragLeave and after Drop.
TEST_F(TextTargetTest, ExceptionsFromHandlersAreShownAndTheDragGoesOn) {
  test::TShownMessages shown;
  target_->OnDragEnter = [](TObject*, TDropEffect, int, int) { throw Exception("Enter failed"); };
  target_->OnDragOver = [](TObject*, TDropEffect, int, int) { throw std::runtime_error("Over failed"); };
  target_->OnDragLeave = [](TObject*) { throw Exception("Leave failed"); };
  auto object = MakeDataObject({{CF_TEXT, "x"}});

  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  EXPECT_EQ(DropTarget()->DragEnter(object.Get(), 0, ListPoint(), &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  EXPECT_EQ(DropTarget()->DragOver(MK_CONTROL, ListPoint(), &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_EQ(target_->getDataObject(), object.Get());
  EXPECT_EQ(DropTarget()->DragLeave(), S_OK);
  EXPECT_EQ(target_->getDataObject(), nullptr);
  EXPECT_TRUE(target_->getAvailableDropEffects().Empty());
  EXPECT_EQ(object->RefCount(), 1);
  Application().ShowPendingExceptions();
  EXPECT_EQ(shown.texts, (std::vector<std::string>{"Enter failed.", "Over failed.", "Leave failed."}));

  // The text was read and handed over before OnDrop failed: the drop stands.
  target_->OnDragEnter = nullptr;
  target_->OnDrop = [](TObject*, TWinControl*, const std::string&, int, int) { throw Exception("Drop failed"); };
  effect = 0;
  EXPECT_EQ(EnterAndDrop(object.Get(), 0, DROPEFFECT_COPY, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_EQ(target_->getText(), "x");
  EXPECT_EQ(target_->getDataObject(), nullptr);
  EXPECT_EQ(object->RefCount(), 1);
  Application().ShowPendingExceptions();
  ASSERT_EQ(shown.texts.size(), 4u);
  EXPECT_EQ(shown.texts.back(), "Drop failed.");
}

}  // namespace
}  // namespace plx
