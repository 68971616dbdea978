// The editor binding's answer to a frame size change when the host cannot size windows itself,
// on real windows: the editor's window takes the new size and each window around it grows by
// the same amount, keeping the margin it had, until a parent with much more room, the MDI
// client area, a margin of one dialog frame, or the top-level window ends the walk. And the
// binding's idle pass, which paints one waiting window of the thread.
#include <gtest/gtest.h>

#include <memory>

#include "host_window.h"
#include "panel_editor.h"
#include "platform.h"
#include "plugin_host.h"
#include "test_seams.h"

namespace {

using sparkwell_test::HostWindow;
using sparkwell_test::TestHost;

// A window's outer size.
struct Extent {
  long width;
  long height;
  bool operator==(const Extent& other) const {
    return width == other.width && height == other.height;
  }
};

void PrintTo(const Extent& extent, std::ostream* out) {
  *out << extent.width << "x" << extent.height;
}

Extent sizeOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return Extent{rect.right - rect.left, rect.bottom - rect.top};
}

HWND makeChild(HWND parent, int width, int height) {
  return CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, width, height, parent,
                         nullptr, nullptr, nullptr);
}

class WindowChain : public ::testing::Test {
protected:
  void SetUp() override {
    installPanelPictures(pictures);
    effect = std::make_unique<PanelEffect>();
    host.adopt(effect->getAeffect()); // answers 0 to "sizeWindow": the binding walks itself
    editor = effect->panel();
  }
  void TearDown() override {
    if (editor->frame != nullptr) effect->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
    host.forget(effect->getAeffect());
    effect.reset();
  }
  // Opens the editor in `parent` and answers the editor's own window.
  HWND openIn(HWND parent) {
    if (effect->dispatcher(effEditOpen, 0, 0, parent, 0.0f) != 1) return nullptr;
    return GetWindow(parent, GW_CHILD);
  }
  bool growTo(int width, int height) {
    return editor->beforeSizeChange(CRect(0, 0, width, height),
                                    CRect(0, 0, kPanelWidth, kPanelHeight));
  }

  PictureOverride pictures;
  TestHost host;
  std::unique_ptr<PanelEffect> effect;
  PanelEditor* editor = nullptr;
};

// Host window 10 pixels around a container that has 20 x 24 pixels around the editor: all three
// grow by 50 x 30, the top-level window last.
TEST_F(WindowChain, EveryWindowUpToTheTopLevelOneKeepsItsMargin) {
  HostWindow top(100, 200, kPanelWidth + 30, kPanelHeight + 34);
  HWND container = makeChild(top.handle(), kPanelWidth + 20, kPanelHeight + 24);
  HWND window = openIn(container);
  ASSERT_NE(window, nullptr);
  ASSERT_EQ(sizeOf(window), (Extent{kPanelWidth, kPanelHeight}));

  EXPECT_TRUE(growTo(kPanelWidth + 50, kPanelHeight + 30));
  EXPECT_EQ(sizeOf(window), (Extent{kPanelWidth + 50, kPanelHeight + 30}));
  EXPECT_EQ(sizeOf(container), (Extent{kPanelWidth + 70, kPanelHeight + 54}));
  EXPECT_EQ(sizeOf(top.handle()), (Extent{kPanelWidth + 80, kPanelHeight + 64}));
}

// A parent with more than 80 pixels of room around its child is a host's own window, not a
// frame of the editor: it keeps its size.
TEST_F(WindowChain, AParentWithMuchMoreRoomKeepsItsSize) {
  HostWindow top(100, 200);
  HWND container = makeChild(top.handle(), kPanelWidth + 20, kPanelHeight + 24);
  HWND window = openIn(container);
  ASSERT_NE(window, nullptr);
  const Extent topBefore = sizeOf(top.handle());

  EXPECT_TRUE(growTo(kPanelWidth + 50, kPanelHeight + 30));
  EXPECT_EQ(sizeOf(window), (Extent{kPanelWidth + 50, kPanelHeight + 30}));
  EXPECT_EQ(sizeOf(container), (Extent{kPanelWidth + 70, kPanelHeight + 54}));
  EXPECT_EQ(sizeOf(top.handle()), topBefore);
}

// A window exactly one dialog frame wider than the editor's is the last one to grow.
TEST_F(WindowChain, AMarginOfOneDialogFrameEndsTheWalk) {
  const int frameWidth = 2 * GetSystemMetrics(SM_CYDLGFRAME);
  ASSERT_GT(frameWidth, 0);
  HostWindow top(100, 200);
  HWND outer = makeChild(top.handle(), kPanelWidth + frameWidth + 4, kPanelHeight + 14);
  HWND dialogFrame = makeChild(outer, kPanelWidth + frameWidth, kPanelHeight + 10);
  HWND window = openIn(dialogFrame);
  ASSERT_NE(window, nullptr);

  EXPECT_TRUE(growTo(kPanelWidth + 50, kPanelHeight + 30));
  EXPECT_EQ(sizeOf(window), (Extent{kPanelWidth + 50, kPanelHeight + 30}));
  EXPECT_EQ(sizeOf(dialogFrame), (Extent{kPanelWidth + 50 + frameWidth, kPanelHeight + 40}));
  EXPECT_EQ(sizeOf(outer), (Extent{kPanelWidth + frameWidth + 4, kPanelHeight + 14}));
}

// In a host with MDI windows the walk stops below the MDI client area, however little room
// the area has.
TEST_F(WindowChain, TheMdiClientAreaIsNeverResized) {
  HostWindow top(100, 200);
  CLIENTCREATESTRUCT mdi{nullptr, 0xff00};
  HWND client =
      CreateWindowExW(0, L"MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, kPanelWidth + 30,
                      kPanelHeight + 34, top.handle(), nullptr, GetModuleHandleW(nullptr), &mdi);
  ASSERT_NE(client, nullptr);
  wchar_t className[32] = {};
  GetClassNameW(client, className, 32);
  ASSERT_STREQ(className, L"MDIClient");
  HWND container = makeChild(client, kPanelWidth + 20, kPanelHeight + 24);
  HWND window = openIn(container);
  ASSERT_NE(window, nullptr);
  const Extent clientBefore = sizeOf(client);

  EXPECT_TRUE(growTo(kPanelWidth + 50, kPanelHeight + 30));
  EXPECT_EQ(sizeOf(window), (Extent{kPanelWidth + 50, kPanelHeight + 30}));
  EXPECT_EQ(sizeOf(container), (Extent{kPanelWidth + 70, kPanelHeight + 54}));
  EXPECT_EQ(sizeOf(client), clientBefore);
}

// The binding's idle pass hands out one pending paint of the thread, whichever window it is
// for: a window of the host that waits for its paint while the editor keeps the thread busy.
LRESULT CALLBACK countingPaints(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
    SetWindowLongPtrW(window, GWLP_USERDATA, GetWindowLongPtrW(window, GWLP_USERDATA) + 1);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(WindowChain, AnIdlePassPaintsOnePendingWindowOfTheThread) {
  WNDCLASSW paintClass{};
  paintClass.lpfnWndProc = countingPaints;
  paintClass.hInstance = GetModuleHandleW(nullptr);
  paintClass.lpszClassName = L"SparkwellTestPaints";
  ASSERT_NE(RegisterClassW(&paintClass), 0);
  HostWindow top(100, 200);
  HWND waiting =
      CreateWindowExW(0, paintClass.lpszClassName, L"", WS_CHILD | WS_VISIBLE, kPanelWidth + 10, 0,
                      50, 50, top.handle(), nullptr, paintClass.hInstance, nullptr);
  ASSERT_NE(waiting, nullptr);
  ASSERT_NE(openIn(top.handle()), nullptr);
  sparkwell_test::pumpMessages(100, nullptr); // every window painted: nothing is pending
  SetWindowLongPtrW(waiting, GWLP_USERDATA, 0);
  InvalidateRect(waiting, nullptr, FALSE);

  // A pass that runs at once: 100 ms after the last one, without a wait.
  platform::replaceClock({[] { return 5000u; }, [](uint32_t) {}});
  editor->nextIdleTicks = 4900;
  editor->doIdleStuff();
  platform::restoreClock();
  EXPECT_EQ(GetWindowLongPtrW(waiting, GWLP_USERDATA), 1);
  DestroyWindow(waiting);
  UnregisterClassW(paintClass.lpszClassName, paintClass.hInstance);
}

} // namespace
