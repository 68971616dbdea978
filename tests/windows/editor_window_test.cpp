// The editor of the Windows DLL in a real window: opened by a host inside its own window,
// operated with real mouse and keyboard input, and closed again. Runs under Wine and Xvfb.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "host_window.h"
#include "panel_faces.h"
#include "plugin_host.h"

namespace sparkwell_test {
namespace {

constexpr VstInt32 kGain = 0;
constexpr VstInt32 kPanelTab = 8;
// Where the tab and the SET knob sit in the panel.
const POINT kTabPoint{400, 12};
const POINT kSetKnobPoint{224, 186};

// The begin-edit, automate and end-edit calls the host received, in order, as "b8", "a8=1",
// "e8" and so on.
std::vector<std::string> editCalls(const TestHost& host) {
  std::vector<std::string> calls;
  for (const HostCall& call : host.calls()) {
    const std::string index = std::to_string(call.index);
    if (call.opcode == audioMasterBeginEdit) calls.push_back("b" + index);
    if (call.opcode == audioMasterEndEdit) calls.push_back("e" + index);
    if (call.opcode == audioMasterAutomate)
      calls.push_back("a" + index + "=" + std::to_string(call.opt).substr(0, 4));
  }
  return calls;
}

class OpenEditor {
public:
  // With a `scale` above 0 the host sends it as its scale factor before asking for the size.
  OpenEditor(TestHost& host, VstPluginMainProc entry, int screenX, int screenY, float scale = 0.0f)
      : host(host), plugin(host, entry),
        window(screenX, screenY, scale > 0 ? 1000 : 600, scale > 0 ? 700 : 420) {
    if (!plugin) return;
    if (scale > 0)
      plugin.dispatch(effVendorSpecific, CCONST('P', 'r', 'e', 'S'), CCONST('A', 'e', 'C', 's'),
                      nullptr, scale);
    ERect* rect = nullptr;
    plugin.dispatch(effEditGetRect, 0, 0, &rect);
    if (rect) {
      width = rect->right - rect->left;
      height = rect->bottom - rect->top;
    }
    opened = plugin.dispatch(effEditOpen, 0, 0, window.handle());
    pump(100);
  }
  ~OpenEditor() {
    if (plugin) plugin.dispatch(effEditClose);
  }

  void pump(int milliseconds) {
    pumpMessages(milliseconds, [this] { plugin.dispatch(effEditIdle); });
  }
  // Pumps until `done` answers true, for at most two seconds.
  void pumpUntil(const std::function<bool()>& done) {
    pumpMessages(
        2000, [this] { plugin.dispatch(effEditIdle); }, done);
  }
  void pumpUntilEndEdits(size_t count) {
    pumpUntil([&] { return host.countOf(audioMasterEndEdit) >= count; });
  }
  // Every click on a control ends with an end-edit reaching the host; the click is over then.
  void clickAt(POINT point) {
    const size_t endsBefore = host.countOf(audioMasterEndEdit);
    movePointer(editor(), point.x, point.y);
    pump(50);
    pressLeftButton();
    pump(50);
    releaseLeftButton();
    pumpUntilEndEdits(endsBefore + 1);
  }
  HWND editor() const { return window.child(); }
  // What the window shows, once it shows `face` or after two seconds of idle.
  FaceMatch shownFace(Face face) {
    FaceMatch match;
    pumpUntil([&] {
      match = matchFace(windowPixels(editor(), kPanelWidth, kPanelHeight), face,
                        SPARKWELL_RESOURCES_DIR);
      return match.compared > 10000 && match.matching == match.compared;
    });
    return match;
  }

  TestHost& host;
  PluginInstance plugin;
  HostWindow window;
  VstIntPtr opened = 0;
  int width = 0;
  int height = 0;
};

bool showsFace(const FaceMatch& match) {
  return match.compared > 10000 && match.matching == match.compared;
}

class EditorWindow : public ::testing::Test {
protected:
  PluginLibrary library{pluginPath()};
  TestHost host;
};

TEST_F(EditorWindow, OpensAsAChildOfTheHostWindowShowingTheFrontPanel) {
  ASSERT_TRUE(library.isLoaded()) << library.loadError();
  OpenEditor editor(host, library.vstPluginMain(), 100, 200);
  EXPECT_EQ(editor.opened, 1);
  EXPECT_EQ(editor.width, kPanelWidth);
  EXPECT_EQ(editor.height, kPanelHeight);
  HWND child = editor.editor();
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(GetParent(child), editor.window.handle());
  EXPECT_TRUE(GetWindowLongPtrW(child, GWL_STYLE) & WS_CHILD);
  EXPECT_TRUE(IsWindowVisible(child));
  RECT client{};
  GetClientRect(child, &client);
  EXPECT_EQ(client.right, kPanelWidth);
  EXPECT_EQ(client.bottom, kPanelHeight);
  // The window class belongs to the plug-in's module, not to the host program.
  EXPECT_EQ(reinterpret_cast<HMODULE>(GetWindowLongPtrW(child, GWLP_HINSTANCE)),
            GetModuleHandleW(L"sparkwell.dll"));

  const FaceMatch front = editor.shownFace(Face::front);
  EXPECT_TRUE(showsFace(front)) << front.matching << " of " << front.compared;
}

TEST_F(EditorWindow, AtTheHostsFactor2TheChildIsTwiceAsLargeAndClicksAtTwiceThePlacesHit) {
  ASSERT_TRUE(library.isLoaded()) << library.loadError();
  OpenEditor editor(host, library.vstPluginMain(), 20, 20, 2.0f);
  EXPECT_EQ(editor.opened, 1);
  EXPECT_EQ(editor.width, 900);
  EXPECT_EQ(editor.height, 612);
  ASSERT_NE(editor.editor(), nullptr);
  RECT client{};
  GetClientRect(editor.editor(), &client);
  EXPECT_EQ(client.right, 900);
  EXPECT_EQ(client.bottom, 612);

  host.clearCalls();
  editor.clickAt(POINT{2 * kTabPoint.x, 2 * kTabPoint.y});
  editor.clickAt(POINT{2 * 172, 2 * 74}); // the Transistor toggle on the back face
  EXPECT_EQ(editCalls(host),
            (std::vector<std::string>{"b8", "a8=1.00", "e8", "b6", "a6=1.00", "e6"}));
}

TEST_F(EditorWindow, TabClicksFlipTheFacesAndReachTheHostAsEdits) {
  ASSERT_TRUE(library.isLoaded()) << library.loadError();
  OpenEditor editor(host, library.vstPluginMain(), 100, 200);
  ASSERT_NE(editor.editor(), nullptr);
  host.clearCalls();

  editor.clickAt(kTabPoint);
  EXPECT_EQ(editCalls(host), (std::vector<std::string>{"b8", "a8=1.00", "e8"}));
  const FaceMatch back = editor.shownFace(Face::back);
  EXPECT_TRUE(showsFace(back)) << back.matching << " of " << back.compared;

  host.clearCalls();
  editor.clickAt(kTabPoint);
  EXPECT_EQ(editCalls(host), (std::vector<std::string>{"b8", "a8=0.00", "e8"}));
  const FaceMatch front = editor.shownFace(Face::front);
  EXPECT_TRUE(showsFace(front)) << front.matching << " of " << front.compared;
}

// Return flips a focused button; the keypad's Enter is another key and does nothing.
TEST_F(EditorWindow, ReturnOnTheFocusedTabFlipsTheFace) {
  ASSERT_TRUE(library.isLoaded()) << library.loadError();
  OpenEditor editor(host, library.vstPluginMain(), 100, 200);
  ASSERT_NE(editor.editor(), nullptr);
  editor.clickAt(kTabPoint); // gives the tab the focus and shows the back
  host.clearCalls();

  tapKey(VK_RETURN, true);
  editor.pump(200);
  EXPECT_TRUE(editCalls(host).empty());
  // A key no control uses goes on to the host's window.
  EXPECT_EQ(editor.window.keysReceived(), std::vector<WPARAM>{VK_RETURN});
  const FaceMatch back = editor.shownFace(Face::back);
  EXPECT_TRUE(showsFace(back)) << back.matching << " of " << back.compared;

  tapKey(VK_RETURN);
  editor.pumpUntilEndEdits(1);
  EXPECT_EQ(editCalls(host), (std::vector<std::string>{"b8", "a8=0.00", "e8"}));
  const FaceMatch front = editor.shownFace(Face::front);
  EXPECT_TRUE(showsFace(front)) << front.matching << " of " << front.compared;
}

// A knob drag keeps the mouse while the pointer leaves the window: 190 pixels upward takes the
// SET knob from 0 to 0.95 although the pointer ends above the editor.
TEST_F(EditorWindow, KnobDragFollowsThePointerOutsideTheWindow) {
  ASSERT_TRUE(library.isLoaded()) << library.loadError();
  OpenEditor editor(host, library.vstPluginMain(), 100, 300);
  ASSERT_NE(editor.editor(), nullptr);
  editor.plugin.setParameter(kGain, 0.0f);
  editor.pump(100);
  host.clearCalls();

  movePointer(editor.editor(), kSetKnobPoint.x, kSetKnobPoint.y);
  editor.pump(60);
  pressLeftButton();
  editor.pumpUntil([&] { return GetCapture() == editor.editor(); });
  EXPECT_EQ(GetCapture(), editor.editor());
  movePointer(editor.editor(), kSetKnobPoint.x, kSetKnobPoint.y - 100);
  editor.pump(60);
  movePointer(editor.editor(), kSetKnobPoint.x, kSetKnobPoint.y - 190);
  editor.pump(60);
  releaseLeftButton();
  editor.pumpUntilEndEdits(1);

  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_NEAR(editor.plugin.getParameter(kGain), 0.95f, 1e-6f);
  const auto calls = editCalls(host);
  ASSERT_GE(calls.size(), 4u);
  EXPECT_EQ(calls.front(), "b0");
  EXPECT_EQ(calls[calls.size() - 2], "a0=0.95");
  EXPECT_EQ(calls.back(), "e0");
}

TEST_F(EditorWindow, WheelNotchOverTheKnobStepsATenth) {
  ASSERT_TRUE(library.isLoaded()) << library.loadError();
  OpenEditor editor(host, library.vstPluginMain(), 100, 200);
  ASSERT_NE(editor.editor(), nullptr);
  editor.plugin.setParameter(kGain, 0.5f);
  editor.clickAt(kSetKnobPoint); // a click without a move changes nothing
  EXPECT_EQ(editor.plugin.getParameter(kGain), 0.5f);
  host.clearCalls();

  turnWheel(WHEEL_DELTA);
  editor.pumpUntilEndEdits(1);
  EXPECT_NEAR(editor.plugin.getParameter(kGain), 0.6f, 1e-6f);
  turnWheel(-2 * WHEEL_DELTA); // two notches in one message
  editor.pumpUntilEndEdits(2);
  EXPECT_NEAR(editor.plugin.getParameter(kGain), 0.4f, 1e-6f);
  EXPECT_EQ(editCalls(host),
            (std::vector<std::string>{"b0", "a0=0.60", "e0", "b0", "a0=0.40", "e0"}));
}

// Closing removes the window; the class is unregistered with the last window of the process,
// so that the library can be unloaded and loaded again.
TEST_F(EditorWindow, CloseRemovesTheWindowAndTheLastOneItsClass) {
  ASSERT_TRUE(library.isLoaded()) << library.loadError();
  OpenEditor first(host, library.vstPluginMain(), 100, 200);
  OpenEditor second(host, library.vstPluginMain(), 100, 200);
  HWND firstChild = first.editor();
  HWND secondChild = second.editor();
  ASSERT_NE(firstChild, nullptr);
  ASSERT_NE(secondChild, nullptr);
  wchar_t className[256] = {};
  ASSERT_GT(GetClassNameW(firstChild, className, 256), 0);
  const HINSTANCE module =
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(firstChild, GWLP_HINSTANCE));
  WNDCLASSEXW info{};
  info.cbSize = sizeof info;

  first.plugin.dispatch(effEditClose);
  first.pump(100);
  EXPECT_FALSE(IsWindow(firstChild));
  EXPECT_EQ(first.editor(), nullptr);
  EXPECT_TRUE(GetClassInfoExW(module, className, &info)) << "the other window still uses it";
  InvalidateRect(secondChild, nullptr, FALSE);
  second.pump(200);
  const FaceMatch stillShown = second.shownFace(Face::front);
  EXPECT_TRUE(showsFace(stillShown)) << stillShown.matching << " of " << stillShown.compared;

  second.plugin.dispatch(effEditClose);
  second.pump(100);
  EXPECT_FALSE(IsWindow(secondChild));
  EXPECT_FALSE(GetClassInfoExW(module, className, &info));

  // Opening again registers the class again.
  EXPECT_EQ(first.plugin.dispatch(effEditOpen, 0, 0, first.window.handle()), 1);
  first.pump(300);
  ASSERT_NE(first.editor(), nullptr);
  const FaceMatch reopened = first.shownFace(Face::front);
  EXPECT_TRUE(showsFace(reopened)) << reopened.matching << " of " << reopened.compared;
}

// Some hosts destroy their window before they close the editor: the editor's window goes with
// it, idle and close then find no window, and the class still goes with the last window.
TEST_F(EditorWindow, AHostWindowDestroyedBeforeCloseLeavesNothingBehind) {
  ASSERT_TRUE(library.isLoaded()) << library.loadError();
  HostWindow window(100, 200);
  HWND container = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, kPanelWidth,
                                   kPanelHeight, window.handle(), nullptr, nullptr, nullptr);
  ASSERT_NE(container, nullptr);
  PluginInstance plugin(host, library.vstPluginMain());
  ASSERT_TRUE(plugin);
  const auto idle = [&plugin] { plugin.dispatch(effEditIdle); };
  ASSERT_EQ(plugin.dispatch(effEditOpen, 0, 0, container), 1);
  pumpMessages(200, idle);
  HWND child = GetWindow(container, GW_CHILD);
  ASSERT_NE(child, nullptr);
  wchar_t className[256] = {};
  ASSERT_GT(GetClassNameW(child, className, 256), 0);
  const HINSTANCE module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(child, GWLP_HINSTANCE));

  DestroyWindow(container);
  EXPECT_FALSE(IsWindow(child));
  plugin.setParameter(kGain, 0.25f);
  pumpMessages(100, idle);
  plugin.dispatch(effEditClose);
  WNDCLASSEXW info{};
  info.cbSize = sizeof info;
  EXPECT_FALSE(GetClassInfoExW(module, className, &info));

  EXPECT_EQ(plugin.dispatch(effEditOpen, 0, 0, window.handle()), 1);
  pumpMessages(300, idle);
  ASSERT_NE(window.child(), nullptr);
  const FaceMatch front = matchFace(windowPixels(window.child(), kPanelWidth, kPanelHeight),
                                    Face::front, SPARKWELL_RESOURCES_DIR);
  EXPECT_TRUE(showsFace(front)) << front.matching << " of " << front.compared;
  plugin.dispatch(effEditClose);
}

// A host that closes the editor from inside an edit call, while the editor handles a real
// window message: every control of both faces and the tab, by click, drag and key, the close
// coming from audioMasterBeginEdit, audioMasterAutomate or audioMasterEndEdit. The edit ends
// once, and no window, window class or edit is left open; each time the editor opens again.
TEST_F(EditorWindow, TheHostMayCloseTheEditorFromInsideAnyEditCall) {
  ASSERT_TRUE(library.isLoaded()) << library.loadError();
  HostWindow window(100, 200);
  PluginInstance plugin(host, library.vstPluginMain());
  ASSERT_TRUE(plugin);
  // The middle of each control, by tag.
  const POINT centres[] = {{224, 186}, {61, 163}, {61, 67},   {173, 259}, {61, 259},
                           {271, 116}, {172, 74}, {172, 161}, {407, 11},  {104, 186}};
  bool armed = false;
  VstInt32 closingCall = 0;
  int closes = 0;
  const VstInt32 hostCalls[] = {audioMasterBeginEdit, audioMasterAutomate, audioMasterEndEdit};
  for (VstInt32 opcode : hostCalls)
    host.setHandler(opcode, [&](const HostCall& call) {
      if (armed && call.opcode == closingCall) {
        armed = false;
        ++closes;
        plugin.dispatch(effEditClose);
      }
      return VstIntPtr{0};
    });

  enum Gesture { click, drag, key };
  for (VstInt32 opcode : hostCalls)
    for (int tag = 0; tag <= 9; ++tag)
      for (Gesture gesture : {click, drag, key}) {
        closingCall = opcode;
        SCOPED_TRACE("host call " + std::to_string(opcode) + ", tag " + std::to_string(tag) +
                     ", gesture " + std::to_string(gesture));
        for (VstInt32 index = 0; index <= 9; ++index)
          plugin.setParameter(index, index == 5 ? 0.0f : 0.5f);
        ASSERT_EQ(plugin.dispatch(effEditOpen, 0, 0, window.handle()), 1);
        HWND child = window.child();
        ASSERT_NE(child, nullptr);
        wchar_t className[256] = {};
        ASSERT_GT(GetClassNameW(child, className, 256), 0);
        const HINSTANCE module =
            reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(child, GWLP_HINSTANCE));
        // Each message goes only to a window that is still there.
        auto send = [&](UINT message, WPARAM wParam, LPARAM lParam) {
          if (IsWindow(child)) SendMessageW(child, message, wParam, lParam);
        };
        auto at = [](LONG x, LONG y) { return static_cast<LPARAM>(MAKELPARAM(x, y)); };
        const POINT centre = centres[tag];
        const POINT moved{centre.x + 10, centre.y + 12};
        auto clickAt = [&](POINT point) {
          send(WM_LBUTTONDOWN, MK_LBUTTON, at(point.x, point.y));
          send(WM_LBUTTONUP, 0, at(point.x, point.y));
        };
        if (tag >= 1 && tag <= 7) clickAt(centres[8]); // the back face
        if (gesture == key) clickAt(centre);           // the focus
        host.clearCalls();
        closes = 0;
        armed = true;
        switch (gesture) {
        case click:
          clickAt(centre);
          break;
        case drag:
          send(WM_LBUTTONDOWN, MK_LBUTTON, at(centre.x, centre.y));
          send(WM_MOUSEMOVE, MK_LBUTTON, at(moved.x, moved.y));
          send(WM_LBUTTONUP, 0, at(moved.x, moved.y));
          break;
        case key: {
          const WPARAM virtualKey = tag <= 4 ? VK_UP : (tag == 5 ? VK_DOWN : VK_RETURN);
          send(WM_KEYDOWN, virtualKey, 1);
          send(WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u));
          break;
        }
        }
        armed = false;
        const bool reached = !(tag <= 4 && gesture == click && opcode == audioMasterAutomate);
        EXPECT_EQ(closes, reached ? 1 : 0);
        std::string edits;
        for (const std::string& call : editCalls(host))
          if (call.substr(1, call.find('=') - 1) == std::to_string(tag)) edits += call[0];
        const bool paired = edits == "be" || edits == "bae" || (gesture == drag && edits == "baae");
        EXPECT_TRUE(paired) << "one begin, one end, nothing after it: " << edits;
        if (!reached) plugin.dispatch(effEditClose);
        pumpMessages(0, nullptr);
        EXPECT_FALSE(IsWindow(child));
        EXPECT_EQ(window.child(), nullptr);
        WNDCLASSEXW info{};
        info.cbSize = sizeof info;
        EXPECT_FALSE(GetClassInfoExW(module, className, &info)) << "the class went with it";
      }

  ASSERT_EQ(plugin.dispatch(effEditOpen, 0, 0, window.handle()), 1);
  pumpMessages(300, [&plugin] { plugin.dispatch(effEditIdle); });
  ASSERT_NE(window.child(), nullptr);
  const FaceMatch front = matchFace(windowPixels(window.child(), kPanelWidth, kPanelHeight),
                                    Face::front, SPARKWELL_RESOURCES_DIR);
  EXPECT_TRUE(showsFace(front)) << front.matching << " of " << front.compared;
  plugin.dispatch(effEditClose);
  EXPECT_EQ(window.child(), nullptr);
}

TEST(EditorWindowLibrary, AReloadedLibraryOpensItsEditorAgain) {
  for (int round = 0; round < 2; ++round) {
    PluginLibrary library(pluginPath());
    ASSERT_TRUE(library.isLoaded()) << library.loadError();
    TestHost host;
    OpenEditor editor(host, library.vstPluginMain(), 100, 200);
    EXPECT_EQ(editor.opened, 1) << "round " << round;
    ASSERT_NE(editor.editor(), nullptr) << "round " << round;
    const FaceMatch front = editor.shownFace(Face::front);
    EXPECT_TRUE(showsFace(front)) << "round " << round << ": " << front.matching << " of "
                                  << front.compared;
  }
}

// The window draws only what changed; whatever the order of host changes, flips, damaged and
// repainted areas and drags, it must end up showing what a window drawn from scratch shows.
TEST_F(EditorWindow, RandomSessionsShowWhatAFullRepaintShows) {
  ASSERT_TRUE(library.isLoaded()) << library.loadError();
  OpenEditor editor(host, library.vstPluginMain(), 100, 200);
  ASSERT_NE(editor.editor(), nullptr);
  bool backFace = false;
  VstInt32 lastTag = 0;
  {
    std::mt19937 generator(20261208);
    auto uniform = [&](int low, int high) {
      return std::uniform_int_distribution<int>(low, high)(generator);
    };
    // Points inside the knobs of each face: SET on the front; Input, Input Filtering, Treble
    // and Grid Current on the back.
    const std::vector<POINT> frontKnobs{kSetKnobPoint};
    const std::vector<POINT> backKnobs{{61, 67}, {61, 163}, {61, 259}, {173, 259}};
    const VstInt32 hostTags[] = {0, 1, 2, 3, 4, 5, 6, 7, 9};
    for (int step = 0; step < 30; ++step) {
      const int kind = uniform(0, 5);
      if (kind <= 1) {
        lastTag = hostTags[uniform(0, 8)];
        editor.plugin.setParameter(lastTag, static_cast<float>(uniform(-20, 120)) / 100.0f);
        editor.pump(60);
      } else if (kind == 2) {
        editor.clickAt(kTabPoint);
        backFace = !backFace;
      } else if (kind == 3) {
        // Something covered part of the window and went away: those pixels are lost until the
        // window paints them again.
        const int x = uniform(0, kPanelWidth - 1), y = uniform(0, kPanelHeight - 1);
        const RECT damaged{x, y, x + uniform(1, kPanelWidth - x), y + uniform(1, kPanelHeight - y)};
        HDC context = GetDC(editor.editor());
        FillRect(context, &damaged, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ReleaseDC(editor.editor(), context);
        InvalidateRect(editor.editor(), &damaged, FALSE);
        editor.pump(60);
      } else {
        const auto& knobs = backFace ? backKnobs : frontKnobs;
        const POINT knob =
            knobs[static_cast<size_t>(uniform(0, static_cast<int>(knobs.size()) - 1))];
        const size_t endsBefore = host.countOf(audioMasterEndEdit);
        movePointer(editor.editor(), knob.x, knob.y);
        editor.pump(40);
        pressLeftButton();
        editor.pump(40);
        movePointer(editor.editor(), knob.x + uniform(-30, 30), knob.y + uniform(-60, 60));
        editor.pump(60);
        releaseLeftButton();
        editor.pumpUntilEndEdits(endsBefore + 1);
      }
      const FaceMatch face = editor.shownFace(backFace ? Face::back : Face::front);
      ASSERT_TRUE(showsFace(face)) << "step " << step << ", kind " << kind << ": " << face.matching
                                   << " of " << face.compared;
    }
  }
  editor.pump(100);
  const std::vector<uint32_t> shown = windowPixels(editor.editor(), kPanelWidth, kPanelHeight);

  // The same state drawn from scratch: the window closed and opened again, flipped to the same
  // face.
  editor.plugin.dispatch(effEditClose);
  ASSERT_EQ(editor.plugin.dispatch(effEditOpen, 0, 0, editor.window.handle()), 1);
  editor.pump(100);
  if (backFace) editor.clickAt(kTabPoint);
  editor.pump(200);
  const std::vector<uint32_t> drawn = windowPixels(editor.editor(), kPanelWidth, kPanelHeight);
  size_t differing = 0;
  for (size_t i = 0; i < drawn.size(); ++i)
    if (drawn[i] != shown[i]) ++differing;
  EXPECT_EQ(differing, 0u) << "last host change of " << lastTag;
}

} // namespace
} // namespace sparkwell_test
