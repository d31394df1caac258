// plexoria.exe as a screen reader sees it, from another process through the
// accessibility interface: the skinned buttons, the markup list and its
// items named by the text they show, the title bar and its buttons, the
// memo as editable text, default actions and selection by the reader.
#include <gtest/gtest.h>

#include <ole2.h>
#include <oleacc.h>

#include <string>
#include <vector>

#include "tests/e2e/E2eDrop.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/support/AccessibleChild.h"

namespace plx::e2e {
namespace {

// The interface's real id (an import library's may be wrong).
constexpr GUID kIidAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
constexpr char kPrompt[] = "Please drop your text above.";

// One reference to a reader's view of a window's client area.
class Accessible {
 public:
  explicit Accessible(HWND window) {
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                          reinterpret_cast<void**>(&object_))))
      object_ = nullptr;
  }
  ~Accessible() {
    if (object_) object_->Release();  // the reference AccessibleObjectFromWindow gave us
  }
  Accessible(const Accessible&) = delete;
  Accessible& operator=(const Accessible&) = delete;

  explicit operator bool() const { return object_ != nullptr; }
  IAccessible* operator->() const { return object_; }

  static VARIANT Child(long id) { return test::AccessibleChild(id); }
  long Role(long child = CHILDID_SELF) const { return Long(&IAccessible::get_accRole, child); }
  long State(long child = CHILDID_SELF) const { return Long(&IAccessible::get_accState, child); }
  std::string Name(long child = CHILDID_SELF) const { return Text(&IAccessible::get_accName, child); }
  std::string DefaultAction(long child = CHILDID_SELF) const {
    return Text(&IAccessible::get_accDefaultAction, child);
  }
  std::string Value(long child = CHILDID_SELF) const { return Text(&IAccessible::get_accValue, child); }
  RECT Location(long child = CHILDID_SELF) const {
    long left = 0, top = 0, width = 0, height = 0;
    if (FAILED(object_->accLocation(&left, &top, &width, &height, Child(child)))) return {-1, -1, -1, -1};
    return {left, top, left + width, top + height};
  }
  long ChildCount() const {
    long count = -1;
    object_->get_accChildCount(&count);
    return count;
  }

 private:
  long Long(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), long child) const {
    VARIANT out;
    VariantInit(&out);
    if (FAILED((object_->*get)(Child(child), &out)) || out.vt != VT_I4) return -1;
    return out.lVal;
  }
  std::string Text(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), long child) const {
    BSTR text = nullptr;
    if (FAILED((object_->*get)(Child(child), &text)) || text == nullptr) return "(none)";
    const int length = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(SysStringLen(text)), nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(SysStringLen(text)), result.data(), length, nullptr, nullptr);
    SysFreeString(text);
    return result;
  }
  IAccessible* object_ = nullptr;
};

struct AccessibilityTest : ::testing::Test {
  static void SetUpTestSuite() { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
  static void TearDownTestSuite() { OleUninitialize(); }

  void SetUp() override {
    ASSERT_TRUE(app.Start()) << "no Plexoria window from " << PlexoriaExePath();
    memo = app.FindChild("PlexoriaMemo");
    list = app.FindChild("PlexoriaListBox");
    ASSERT_TRUE(memo && list);
  }
  int Count() const { return static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)); }
  void Drop(const std::string& text) {
    const int before = Count();
    ASSERT_EQ(DragOnto(list, CF_TEXT, text + '\0', false).result, DRAGDROP_S_DROP);
    ASSERT_TRUE(WaitUntil([&] { return Count() == before + 1; })) << text;
  }

  // The one child window that a reader sees as a title bar.
  HWND TitleBar() const {
    std::vector<HWND> found;
    EnumChildWindows(
        app.MainWindow(),
        [](HWND window, LPARAM param) -> BOOL {
          const Accessible reader(window);
          if (reader && reader.Role() == ROLE_SYSTEM_TITLEBAR)
            reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.size() == 1 ? found.front() : nullptr;
  }
  // The child the reader names so, 0 when there is none.
  static long ChildNamed(const Accessible& reader, const std::string& name) {
    for (long child = 1; child <= reader.ChildCount(); ++child)
      if (reader.Name(child) == name) return child;
    return 0;
  }

  PlexoriaProcess app;
  HWND memo = nullptr, list = nullptr;
};

TEST_F(AccessibilityTest, SkinnedButtonsArePushButtonsNamedByTheirCaptionWithTheirState) {
  struct Case {
    const char* caption;
    bool enabled;
  };
  const Case cases[] = {{"Remove [-]", false}, {"Clear All", false}, {"Copy", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    HWND window = app.FindChild("PlexoriaSkinButton", c.caption);
    ASSERT_NE(window, nullptr);
    Accessible button(window);
    ASSERT_TRUE(button);
    EXPECT_EQ(button.Role(), ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(button.Name(), c.caption);
    EXPECT_EQ(button.DefaultAction(), "Press");
    const long state = button.State();
    EXPECT_EQ((state & STATE_SYSTEM_UNAVAILABLE) != 0, !c.enabled) << std::hex << state;
    EXPECT_EQ((state & STATE_SYSTEM_FOCUSABLE) != 0, c.enabled) << std::hex << state;
    EXPECT_EQ(state & STATE_SYSTEM_FOCUSED, 0) << "the memo has the focus";
  }
  // A dropped clip enables "Clear All", which the reader then sees.
  Drop("clip");
  Accessible clear(app.FindChild("PlexoriaSkinButton", "Clear All"));
  EXPECT_TRUE(WaitUntil([&] { return (clear.State() & STATE_SYSTEM_UNAVAILABLE) == 0; })) << std::hex << clear.State();
}

TEST_F(AccessibilityTest, TheDefaultActionOfClearAllClearsTheClips) {
  Drop("first");
  Drop("second");
  Accessible clear(app.FindChild("PlexoriaSkinButton", "Clear All"));
  ASSERT_TRUE(clear);
  EXPECT_EQ(clear->accDoDefaultAction(Accessible::Child(CHILDID_SELF)), S_OK);
  EXPECT_TRUE(WaitUntil([&] { return Count() == 0; })) << Count() << " clips left";
  // Without clips the button is disabled, and its action is refused.
  ASSERT_TRUE(WaitUntil([&] { return (clear.State() & STATE_SYSTEM_UNAVAILABLE) != 0; }));
  EXPECT_NE(clear->accDoDefaultAction(Accessible::Child(CHILDID_SELF)), S_OK);
}

TEST_F(AccessibilityTest, TheListHasOneItemPerEntryNamedByTheTextItShows) {
  const struct {
    const char* dropped;
    const char* name;
  } clips[] = {
      {"Hello <b>you</b>", "Hello you..."},
      {"Fish &amp; chips", "Fish & chips..."},
      {"  <i>spaced</i>  ", "spaced..."},
  };
  for (const auto& clip : clips) Drop(clip.dropped);
  Accessible reader(list);
  ASSERT_TRUE(reader);
  EXPECT_EQ(reader.Role(), ROLE_SYSTEM_LIST);
  ASSERT_EQ(reader.ChildCount(), 3);
  for (long child = 1; child <= 3; ++child) {
    SCOPED_TRACE(child);
    EXPECT_EQ(reader.Role(child), ROLE_SYSTEM_LISTITEM);
    EXPECT_EQ(reader.Name(child), clips[child - 1].name);
    const long state = reader.State(child);
    EXPECT_EQ(state & (STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE),
              STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE) << std::hex << state;
    EXPECT_EQ(state & STATE_SYSTEM_SELECTED, 0) << "nothing is selected yet";
    long left = 0, top = 0, width = 0, height = 0;
    ASSERT_EQ(reader->accLocation(&left, &top, &width, &height, Accessible::Child(child)), S_OK);
    RECT item{};
    SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(child - 1), reinterpret_cast<LPARAM>(&item));
    MapWindowPoints(list, HWND_DESKTOP, reinterpret_cast<POINT*>(&item), 2);
    EXPECT_EQ(left, item.left);
    EXPECT_EQ(top, item.top);
    EXPECT_EQ(width, item.right - item.left);
    EXPECT_EQ(height, item.bottom - item.top);
  }
}

TEST_F(AccessibilityTest, SelectingAnItemIsAUsersSelectionAndTheMemoShowsTheClip) {
  const std::vector<std::string> clips = {"one", "two", "three"};
  for (const std::string& clip : clips) Drop(clip);
  Accessible reader(list);
  ASSERT_TRUE(reader);
  ASSERT_EQ(WindowText(memo), kPrompt);

  ASSERT_EQ(reader->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, Accessible::Child(2)), S_OK);
  EXPECT_TRUE(WaitUntil([&] { return SendMessageA(list, LB_GETCURSEL, 0, 0) == 1; }));
  EXPECT_TRUE(WaitUntil([&] { return WindowText(memo) == "two"; })) << WindowText(memo);
  EXPECT_NE(reader.State(2) & STATE_SYSTEM_SELECTED, 0);
  EXPECT_EQ(reader.State(1) & STATE_SYSTEM_SELECTED, 0);

  EXPECT_EQ(reader.DefaultAction(3), "Select");
  ASSERT_EQ(reader->accDoDefaultAction(Accessible::Child(3)), S_OK);
  EXPECT_TRUE(WaitUntil([&] { return SendMessageA(list, LB_GETCURSEL, 0, 0) == 2; }));
  EXPECT_TRUE(WaitUntil([&] { return WindowText(memo) == "three"; })) << WindowText(memo);
}

TEST_F(AccessibilityTest, TheTitleBarIsNamedByTheCaptionAndListsItsVisibleButtonsLeftToRight) {
  HWND bar = TitleBar();
  ASSERT_NE(bar, nullptr) << "exactly one window answers as a title bar";
  Accessible reader(bar);
  ASSERT_TRUE(reader);
  EXPECT_EQ(reader.Name(), "Plexoria");
  // The hidden maximise button is not listed; minimise, beside it in the
  // same row, is.
  ASSERT_EQ(reader.ChildCount(), 3);
  POINT origin{0, 0};
  ClientToScreen(bar, &origin);
  const struct {
    const char* name;
    RECT place;  // in the title bar's client area
  } buttons[] = {
      {"Window menu", {2, 4, 22, 24}},
      {"Minimize", {191, 4, 211, 24}},
      {"Close", {212, 4, 232, 24}},
  };
  for (long child = 1; child <= 3; ++child) {
    const auto& expected = buttons[child - 1];
    SCOPED_TRACE(expected.name);
    EXPECT_EQ(reader.Role(child), ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(reader.Name(child), expected.name);
    EXPECT_EQ(reader.DefaultAction(child), "Press");
    const long state = reader.State(child);
    EXPECT_EQ(state & (STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_INVISIBLE), 0) << std::hex << state;
    const RECT place = reader.Location(child);
    EXPECT_EQ(place.left, origin.x + expected.place.left);
    EXPECT_EQ(place.top, origin.y + expected.place.top);
    EXPECT_EQ(place.right, origin.x + expected.place.right);
    EXPECT_EQ(place.bottom, origin.y + expected.place.bottom);
  }
  EXPECT_EQ(ChildNamed(reader, "Maximize"), 0);
  EXPECT_EQ(ChildNamed(reader, "Restore"), 0);
}

TEST_F(AccessibilityTest, TheMinimizeButtonsDefaultActionMinimizesTheWindow) {
  Accessible reader(TitleBar());
  ASSERT_TRUE(reader);
  const long minimize = ChildNamed(reader, "Minimize");
  ASSERT_NE(minimize, 0);
  ASSERT_FALSE(IsIconic(app.MainWindow()));
  ASSERT_EQ(reader->accDoDefaultAction(Accessible::Child(minimize)), S_OK);
  EXPECT_TRUE(WaitUntil([&] { return IsIconic(app.MainWindow()) != FALSE; }));
  SendMessageA(app.MainWindow(), WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE(WaitUntil([&] { return IsIconic(app.MainWindow()) == FALSE; }));
  // The title bar itself has no action.
  EXPECT_NE(reader->accDoDefaultAction(Accessible::Child(CHILDID_SELF)), S_OK);
  EXPECT_FALSE(IsIconic(app.MainWindow()));
}

TEST_F(AccessibilityTest, TheCloseButtonsDefaultActionEndsTheProgram) {
  Accessible reader(TitleBar());
  ASSERT_TRUE(reader);
  const long close = ChildNamed(reader, "Close");
  ASSERT_NE(close, 0);
  ASSERT_EQ(WaitForSingleObject(app.ProcessHandle(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
  ASSERT_EQ(reader->accDoDefaultAction(Accessible::Child(close)), S_OK);
  ASSERT_EQ(WaitForSingleObject(app.ProcessHandle(), 10000), static_cast<DWORD>(WAIT_OBJECT_0));
  DWORD code = 1;
  GetExitCodeProcess(app.ProcessHandle(), &code);
  EXPECT_EQ(code, 0u);
}

TEST_F(AccessibilityTest, TheMemoIsEditableTextWithItsTextAsValue) {
  Accessible reader(memo);
  ASSERT_TRUE(reader);
  EXPECT_EQ(reader.Role(), ROLE_SYSTEM_TEXT);
  EXPECT_EQ(reader.Value(), kPrompt);
  EXPECT_NE(reader.State() & STATE_SYSTEM_FOCUSABLE, 0) << std::hex << reader.State();
  // Selecting a clip shows it in the memo, and the reader reads it there.
  Drop("dropped words");
  Accessible items(list);
  ASSERT_EQ(items->accSelect(SELFLAG_TAKESELECTION, Accessible::Child(1)), S_OK);
  EXPECT_TRUE(WaitUntil([&] { return reader.Value() == "dropped words"; })) << reader.Value();
}

}  // namespace
}  // namespace plx::e2e
