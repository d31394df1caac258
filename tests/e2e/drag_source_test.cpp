// Drags from this process with the drag-source components into other
// processes, with real mouse input: the button is pressed over a donor in
// this process's window, the drag source starts the system's drag loop, and
// the pointer moves to the target and lets go, each step taken when the
// source's feedback shows the loop has answered the one before.
//
// Text goes into the running program's list; a picture goes into a small
// program that holds the picture drop target and writes what it receives.
#include <gtest/gtest.h>

#include <ole2.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dragdrop/GraphicSource.h"
#include "dragdrop/MetafileGraphic.h"
#include "dragdrop/TextSource.h"
#include "framework/Bitmap.h"
#include "framework/Forms.h"
#include "framework/Image.h"
#include "framework/StdCtrls.h"
#include "framework/Streams.h"
#include "tests/dragdrop/DragSourceTestSupport.h"
#include "tests/e2e/E2eSupport.h"

namespace plx::e2e {
namespace {

using test::SetMouseButtonDown;

// Real pointer motion to a screen point.
void MoveMouseTo(POINT screen) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  input.mi.dx = static_cast<LONG>((screen.x * 65535 + width / 2) / (width - 1));
  input.mi.dy = static_cast<LONG>((screen.y * 65535 + height / 2) / (height - 1));
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof input);
}

void SetControlDown(bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = VK_CONTROL;
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  SendInput(1, &input, sizeof input);
  test::SetKeyDown(VK_CONTROL, down);
}

// The drag loop's mouse capture holds only while this process has the
// foreground: otherwise the release would go to the window under the
// pointer, in the other program. A program started after our window takes
// the foreground, so it is taken back before the button goes down.
bool TakeForeground(TForm& form) {
  const HWND window = form.Handle();
  SetForegroundWindow(window);
  return WaitUntil([&] { return GetForegroundWindow() == window; });
}

POINT CentreOf(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  POINT centre{client.right / 2, client.bottom / 2};
  ClientToScreen(window, &centre);
  return centre;
}

// Steers a running drag with real input from the source's feedback: the
// first feedback (the loop has started) moves the pointer to the target; the
// first feedback with an effect (the target under it has answered) presses
// Ctrl when asked and lets the button go. Ctrl goes down only once the
// pointer has arrived: pointer motion takes the modifier keys' state from
// the display again. A drag still running long after is cancelled with
// Escape, so that the test fails instead of hanging.
class TMouseDragDriver {
 public:
  TMouseDragDriver(TQXDragSource& source, HWND foreground, POINT target, bool control = false)
      : foreground_(foreground), target_(target), control_(control) {
    source.OnGiveFeedback = [this](TObject*, TDropEffect effect, bool&) { Step(effect); };
  }
  bool Released() const { return released_; }
  bool Cancelled() const { return cancelled_; }
  TDropEffect EffectAtRelease() const { return effect_at_release_; }

 private:
  void Step(TDropEffect effect) {
    if (!moved_) {
      moved_ = true;
      started_ = std::chrono::steady_clock::now();
      MoveMouseTo(target_);
      return;
    }
    if (!released_ && effect != deNone) {
      released_ = true;
      effect_at_release_ = effect;
      if (control_) SetControlDown(true);
      // The loop's capture holds only while this process has the foreground.
      if (GetForegroundWindow() != foreground_) SetForegroundWindow(foreground_);
      SetMouseButtonDown(VK_LBUTTON, false);
      return;
    }
    if (!cancelled_ && std::chrono::steady_clock::now() - started_ > std::chrono::seconds(10)) {
      cancelled_ = true;
      PostThreadMessageA(GetCurrentThreadId(), WM_KEYDOWN, VK_ESCAPE, 0);
    }
  }

  HWND foreground_;
  POINT target_;
  bool control_;
  bool moved_ = false;
  bool released_ = false;
  bool cancelled_ = false;
  TDropEffect effect_at_release_ = deNone;
  std::chrono::steady_clock::time_point started_;
};

// This process's window: a donor list on the left, a donor image on the right.
class TSourceWindow {
 public:
  TSourceWindow() {
    form = new TForm(nullptr);
    form->SetCaption("Drag source");
    form->SetBounds(20, 20, 420, 260);
    list = new TListBox(form);
    list->SetParent(form);
    list->SetBounds(10, 10, 180, 200);
    image = new TImage(form);
    image->SetParent(form);
    image->SetBounds(210, 10, 180, 200);
    form->Show();
  }
  ~TSourceWindow() { delete form; }
  TSourceWindow(const TSourceWindow&) = delete;
  TSourceWindow& operator=(const TSourceWindow&) = delete;

  TForm* form;
  TListBox* list;
  TImage* image;
};

struct TAfterDrop {
  int count = 0;
  TComponent* donor = nullptr;
  bool dropped_ok = false;
};

class DragTextIntoPlexoria : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(app_.Start()) << "no Plexoria window from " << PlexoriaExePath();
    plexoria_list_ = app_.FindChild("PlexoriaListBox");
    memo_ = app_.FindChild("PlexoriaMemo");
    ASSERT_TRUE(plexoria_list_ && memo_);
    source_ = new TQXTextSource(window_.form);
    source_->SetDropEffects({deCopy, deMove});
    source_->setDonor(window_.list);
    source_->OnAfterDrop = [this](TObject*, TComponent* donor, bool droppedOK) {
      ++after_.count;
      after_.donor = donor;
      after_.dropped_ok = droppedOK;
    };
  }
  void TearDown() override {
    SetControlDown(false);
    test::ReleaseAllButtonsAndKeys();
    EXPECT_EQ(source_->DropSourceObject()->RefCount(), 1);
  }

  // Presses the button on the donor's entry (which selects it) and drags it
  // onto Plexoria's list.
  bool DragEntry(int index, bool control) {
    RECT item{};
    SendMessageA(window_.list->Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    POINT press{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(window_.list->Handle(), &press);
    EXPECT_TRUE(TakeForeground(*window_.form));
    test::PressButtonAt({press.x, press.y});
    EXPECT_EQ(window_.list->ItemIndex(), index);
    TMouseDragDriver driver(*source_, window_.form->Handle(), CentreOf(plexoria_list_), control);
    const bool ended = source_->Execute();
    SetControlDown(false);
    EXPECT_TRUE(driver.Released());
    EXPECT_FALSE(driver.Cancelled());
    return ended;
  }

  int ListCount() { return static_cast<int>(SendMessageA(plexoria_list_, LB_GETCOUNT, 0, 0)); }

  // Shows clip index in the memo with a real click on its entry.
  std::string ClipText(int index) {
    RECT item{};
    SendMessageA(plexoria_list_, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    ClickAt(plexoria_list_, (item.left + item.right) / 2, (item.top + item.bottom) / 2);
    WaitUntil([&] { return SendMessageA(plexoria_list_, LB_GETCURSEL, 0, 0) == index && !WindowText(memo_).empty(); });
    return WindowText(memo_);
  }

  TSourceWindow window_;
  PlexoriaProcess app_;
  HWND plexoria_list_ = nullptr;
  HWND memo_ = nullptr;
  TQXTextSource* source_ = nullptr;  // owned by the window's form
  TAfterDrop after_;
};

TEST_F(DragTextIntoPlexoria, TheDroppedTextBecomesAClipAndTheSourceSeesTheReportedEffect) {
  const std::string first = "Dragged from another program: \"quoted\" <b>not markup</b> & more";
  const std::string second = "Second entry, copied with Ctrl";
  window_.list->AddItem(first);
  window_.list->AddItem(second);

  struct Case {
    const char* name;
    int entry;
    bool control;
    TDropEffect effect;
  } cases[] = {
      {"no keys: the program reports a move", 0, false, deMove},
      {"Ctrl: the program reports a copy", 1, true, deCopy},
  };
  int clips = 0;
  for (const Case& c : cases) {
    after_ = {};
    ASSERT_TRUE(DragEntry(c.entry, c.control)) << c.name;
    ASSERT_TRUE(WaitUntil([&] { return ListCount() == clips + 1; })) << c.name;
    ++clips;
    EXPECT_EQ(after_.count, 1) << c.name;
    EXPECT_TRUE(after_.dropped_ok) << c.name;
    EXPECT_EQ(after_.donor, window_.list) << c.name;
    EXPECT_EQ(source_->getReturnedEffect(), c.effect) << c.name;
  }
  EXPECT_EQ(ClipText(0), first);
  EXPECT_EQ(ClipText(1), second);
}

// ---- a picture into another program ----

std::string TempBitmapPath() {
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + "plexoria_dropped_picture_" + std::to_string(GetCurrentProcessId()) + ".bmp";
}

// The picture target program, started with the path to write to; found by
// its window, which it shows without taking the foreground.
class TPictureTargetProcess {
 public:
  explicit TPictureTargetProcess(const std::string& output) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = "\"" + std::string(PICTURE_TARGET_EXE_PATH) + "\" \"" + output + "\"";
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_))
      return;
    WaitUntil([this] {
      HWND window = FindWindowA(nullptr, "Plexoria picture target");
      if (!window || !IsWindowVisible(window)) return false;
      acceptor_ = FindWindowExA(window, nullptr, nullptr, nullptr);
      return acceptor_ != nullptr;
    });
  }
  ~TPictureTargetProcess() {
    if (!process_.hProcess) return;
    if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(process_.hProcess, 3);
    WaitForSingleObject(process_.hProcess, 10000);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  TPictureTargetProcess(const TPictureTargetProcess&) = delete;
  TPictureTargetProcess& operator=(const TPictureTargetProcess&) = delete;

  HWND Acceptor() const { return acceptor_; }
  // The exit code once the program has handled its drop; -1 on timeout.
  // Messages are handled meanwhile: the program releases our data object,
  // a call into this thread, only after it has reported the drop.
  int WaitForExit() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (;;) {
      const DWORD woken = MsgWaitForMultipleObjects(1, &process_.hProcess, FALSE, 100, QS_ALLINPUT);
      if (woken == WAIT_OBJECT_0) break;
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
      if (std::chrono::steady_clock::now() > deadline) return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<int>(code);
  }

 private:
  PROCESS_INFORMATION process_{};
  HWND acceptor_ = nullptr;
};

std::vector<TColor> PixelsOf(const TBitmap& bitmap) {
  std::vector<TColor> pixels;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) pixels.push_back(bitmap.Pixel(x, y));
  return pixels;
}

// 7 x 5: rows that are not a multiple of four bytes wide in 24 bits.
std::unique_ptr<TBitmap> SevenByFive(int shade) {
  auto bitmap = std::make_unique<TBitmap>(7, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x)
      bitmap->SetPixel(x, y, static_cast<TColor>(RGB(x * 36, y * 60, (x * y * 13 + shade) & 0xFF)));
  return bitmap;
}

// An enhanced metafile of a rectangle.
std::unique_ptr<TMetafile> RectangleMetafile() {
  HDC recorder = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  Rectangle(recorder, 0, 0, 20, 10);
  return std::make_unique<TMetafile>(CloseEnhMetaFile(recorder));
}

std::unique_ptr<TBitmap> ReadBitmapFile(const std::string& path) {
  auto bitmap = std::make_unique<TBitmap>();
  FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) return bitmap;
  std::vector<std::uint8_t> bytes;
  for (int c; (c = std::fgetc(in)) != EOF;) bytes.push_back(static_cast<std::uint8_t>(c));
  std::fclose(in);
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), bytes.size());
  stream.SetPosition(0);
  bitmap->LoadFromStream(stream);
  return bitmap;
}

TEST(DragPictureIntoAnotherProgram, TheTargetGetsABitmapInTheFormatItChoseWhenTheDragEntered) {
  // The target chooses its format from the bitmap offered when the drag
  // enters it. A bitmap changed before the drop arrives; a change to a
  // metafile becomes the source's picture, and the target still gets the
  // bitmap it can read in the format it chose.
  struct Case {
    const char* name;
    std::function<std::unique_ptr<TGraphic>()> changed;  // nullptr: no OnBeforeDrop
    int arrivesShade;
    bool sourceEndsWithMetafile;
  } cases[] = {
      {"unchanged", nullptr, 0, false},
      {"changed to another bitmap", [] { return SevenByFive(100); }, 100, false},
      {"changed to a metafile", [] { return RectangleMetafile(); }, 0, true},
  };
  TSourceWindow window;
  for (const Case& c : cases) {
    window.image->Picture().SetGraphic(SevenByFive(0));
    auto* source = new TQXGraphicSource(window.form);
    source->setDonor(window.image);
    int afters = 0;
    bool droppedOK = false;
    source->OnAfterDrop = [&](TObject*, TImage*, bool dropped) {
      ++afters;
      droppedOK = dropped;
    };
    if (c.changed)
      source->OnBeforeDrop = [&](TObject*, TImage*, TPicture& dropPicture, bool&) {
        dropPicture.SetGraphic(c.changed());
      };

    const std::string output = TempBitmapPath();
    DeleteFileA(output.c_str());
    TPictureTargetProcess target(output);
    ASSERT_NE(target.Acceptor(), nullptr) << c.name;

    ASSERT_TRUE(TakeForeground(*window.form)) << c.name;
    test::PressButtonAt(window.image->ClientToScreen({20, 20}));
    TMouseDragDriver driver(*source, window.form->Handle(), CentreOf(target.Acceptor()));
    EXPECT_TRUE(source->Execute()) << c.name;
    EXPECT_TRUE(driver.Released()) << c.name;
    EXPECT_FALSE(driver.Cancelled()) << c.name;
    EXPECT_EQ(driver.EffectAtRelease(), deCopy) << c.name;
    const int exitCode = target.WaitForExit();
    EXPECT_EQ(exitCode, 0) << c.name << ": the target program wrote no bitmap";
    EXPECT_EQ(afters, 1) << c.name;
    // The source reports the drop as received exactly when it was.
    EXPECT_EQ(droppedOK, exitCode == 0) << c.name;
    EXPECT_TRUE(droppedOK) << c.name;

    const std::unique_ptr<TBitmap> arrived = ReadBitmapFile(output);
    DeleteFileA(output.c_str());
    EXPECT_EQ(arrived->Width(), 7) << c.name;
    EXPECT_EQ(arrived->Height(), 5) << c.name;
    EXPECT_EQ(PixelsOf(*arrived), PixelsOf(*SevenByFive(c.arrivesShade))) << c.name;
    EXPECT_EQ(dynamic_cast<TMetafile*>(source->getPicture().Graphic()) != nullptr, c.sourceEndsWithMetafile)
        << c.name;
    EXPECT_EQ(source->DropSourceObject()->RefCount(), 1) << c.name;
    delete source;
    test::ReleaseAllButtonsAndKeys();
  }
}

}  // namespace
}  // namespace plx::e2e
