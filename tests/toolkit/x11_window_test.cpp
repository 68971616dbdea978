// The editor in a real X window: a host window on a private Xvfb server, the editor opened in
// it through the dispatcher, real pointer and key input from XTest, painted pixels read back,
// and the window gone after close, also when the host destroyed its window first.
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

#include "panel_editor.h"
#include "plugin_host.h"
#include "x11frame.h"
#include "xvfb_server.h"

// Xlib last: its macros (None, Bool, Status ...) would break the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

using sparkwell_test::HostCall;
using sparkwell_test::TestHost;

using hostkit::XvfbServer;

namespace {

// Errors on the host's own connection: there must be none.
int hostErrors = 0;
int countError(Display*, XErrorEvent*) {
  ++hostErrors;
  return 0;
}

class X11WindowTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    server = new XvfbServer("640x480x24");
    if (!server->display().empty()) setenv("DISPLAY", server->display().c_str(), 1);
  }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }

  void SetUp() override {
    ASSERT_FALSE(server->display().empty()) << server->error();
    display = XOpenDisplay(server->display().c_str());
    ASSERT_NE(display, nullptr);
    hostErrors = 0;
    previousHandler = XSetErrorHandler(countError);
    installPanelPictures(pictures);
    effect = std::make_unique<PanelEffect>();
    host.adopt(effect->getAeffect());
    editor = effect->panel();
  }
  void TearDown() override {
    if (effect) {
      effect->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
      host.forget(effect->getAeffect());
      effect.reset();
    }
    if (display != nullptr) {
      XSync(display, False);
      EXPECT_EQ(hostErrors, 0) << "X errors on the host's connection";
      XSetErrorHandler(previousHandler);
      XCloseDisplay(display);
    }
  }

  // A mapped top-level window as a host's editor container.
  Window makeHostWindow(unsigned width, unsigned height) {
    const int screen = DefaultScreen(display);
    Window window =
        XCreateSimpleWindow(display, RootWindow(display, screen), 100, 100, width, height, 0,
                            BlackPixel(display, screen), WhitePixel(display, screen));
    XMapWindow(display, window);
    XSync(display, False);
    return window;
  }
  bool openIn(Window parent) {
    return effect->dispatcher(effEditOpen, 0, 0, reinterpret_cast<void*>(parent), 0.0f) == 1;
  }
  // Idles the editor as a host does until `done` holds; false after about two seconds.
  bool idleUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 400; ++i) {
      effect->dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
      if (done()) return true;
      usleep(5000);
    }
    return false;
  }
  std::vector<Window> childrenOf(Window window) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    std::vector<Window> result;
    if (XQueryTree(display, window, &root, &parent, &children, &count) != 0) {
      result.assign(children, children + count);
      if (children != nullptr) XFree(children);
    }
    return result;
  }
  // The colour shown at (x, y) of `window`, as 0xRRGGBB; 0xffffffff when it cannot be read.
  uint32_t pixelAt(Window window, int x, int y) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
      return 0xffffffffu;
    XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) return 0xffffffffu;
    const auto value = static_cast<uint32_t>(XGetPixel(image, 0, 0));
    XDestroyImage(image);
    return value & 0xffffffu;
  }
  // Real pointer input at a point of the frame, in screen coordinates.
  void pointerTo(Window frameWindow, int x, int y) {
    int screenX = 0, screenY = 0;
    Window child = 0;
    XTranslateCoordinates(display, frameWindow, DefaultRootWindow(display), x, y, &screenX,
                          &screenY, &child);
    XTestFakeMotionEvent(display, DefaultScreen(display), screenX, screenY, CurrentTime);
    XSync(display, False);
  }
  void button(unsigned number, bool pressed) {
    XTestFakeButtonEvent(display, number, pressed ? True : False, CurrentTime);
    XSync(display, False);
  }
  Window frameWindow(Window parent) {
    const std::vector<Window> children = childrenOf(parent);
    return children.size() == 1 ? children[0] : 0;
  }
  X11Frame* backEnd() {
    return editor->frame != nullptr ? dynamic_cast<X11Frame*>(editor->frame->getPlatformFrame())
                                    : nullptr;
  }
  static uint32_t rgb(uint32_t pixel) { return pixel & 0xffffffu; }

  static XvfbServer* server;
  Display* display = nullptr;
  XErrorHandler previousHandler = nullptr;
  PictureOverride pictures;
  TestHost host;
  std::unique_ptr<PanelEffect> effect;
  PanelEditor* editor = nullptr;
};

XvfbServer* X11WindowTest::server = nullptr;

TEST_F(X11WindowTest, OpensAsAChildOfTheHostWindowPaintsAndCloses) {
  const Window parent = makeHostWindow(300, 200);
  ASSERT_TRUE(openIn(parent));
  ASSERT_NE(backEnd(), nullptr) << "an X11 frame, not an off-screen one";
  const Window child = frameWindow(parent);
  ASSERT_NE(child, 0u);
  XWindowAttributes attributes;
  ASSERT_TRUE(XGetWindowAttributes(display, child, &attributes));
  EXPECT_EQ(attributes.width, kPanelWidth);
  EXPECT_EQ(attributes.height, kPanelHeight);

  ASSERT_TRUE(idleUntil([&] { return pixelAt(child, 150, 90) == rgb(kPanelColour); }))
      << "the background never showed";
  EXPECT_EQ(pixelAt(child, 45, 45), rgb(frameColour(0))) << "knob at 0";
  EXPECT_EQ(pixelAt(child, 121, 21), rgb(frameColour(0))) << "button at 0";
  EXPECT_EQ(pixelAt(child, 119, 21), rgb(kPanelColour));
  EXPECT_EQ(pixelAt(child, 199, 99), rgb(kPanelColour));

  // A host change shows at the next idle.
  effect->setParameter(0, 1.0f);
  editor->knob->setValue(1.0f);
  ASSERT_TRUE(idleUntil([&] { return pixelAt(child, 45, 45) == rgb(frameColour(30)); }));

  effect->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
  XSync(display, False);
  EXPECT_TRUE(childrenOf(parent).empty()) << "the window is gone after close";
  XDestroyWindow(display, parent);
}

TEST_F(X11WindowTest, OnePendingExposeIsHandledOnRequest) {
  const Window parent = makeHostWindow(300, 200);
  ASSERT_TRUE(openIn(parent));
  const Window child = frameWindow(parent);
  ASSERT_NE(child, 0u);
  // Mapping the window exposes it; the binding's idle request paints it without a frame idle.
  bool handled = false;
  for (int i = 0; i < 400 && !handled; ++i) {
    handled = editor->frame->handleOnePendingPaint();
    if (!handled) usleep(5000);
  }
  ASSERT_TRUE(handled);
  XSync(display, False);
  EXPECT_EQ(pixelAt(child, 150, 90), rgb(kPanelColour));
  EXPECT_EQ(pixelAt(child, 45, 45), rgb(frameColour(0)));
  EXPECT_EQ(editor->idleCalls, 0);
  EXPECT_FALSE(editor->frame->handleOnePendingPaint()) << "nothing else is pending";
  effect->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
  XDestroyWindow(display, parent);
}

TEST_F(X11WindowTest, RealPointerAndKeyInputReachTheRightControl) {
  const Window parent = makeHostWindow(300, 200);
  ASSERT_TRUE(openIn(parent));
  const Window child = frameWindow(parent);
  ASSERT_NE(child, 0u);
  ASSERT_TRUE(idleUntil([&] { return pixelAt(child, 150, 90) == rgb(kPanelColour); }));

  // A click on the button.
  pointerTo(child, 140, 40);
  button(1, true);
  button(1, false);
  ASSERT_TRUE(idleUntil([&] { return effect->getParameter(1) == 1.0f; }));
  EXPECT_EQ(effect->getParameter(0), 0.0f) << "the knob was not touched";
  const auto calls = host.calls();
  std::vector<VstInt32> edits;
  for (const HostCall& call : calls)
    if (call.opcode == audioMasterBeginEdit || call.opcode == audioMasterAutomate ||
        call.opcode == audioMasterEndEdit)
      edits.push_back(call.opcode * 100 + call.index);
  EXPECT_EQ(edits,
            (std::vector<VstInt32>{audioMasterBeginEdit * 100 + 1, audioMasterAutomate * 100 + 1,
                                   audioMasterEndEdit * 100 + 1}));
  EXPECT_TRUE(idleUntil([&] { return pixelAt(child, 140, 40) == rgb(frameColour(1)); }))
      << "the button's second frame";

  // A drag on the knob: 100 pixels up is half the range in linear mode.
  pointerTo(child, 45, 60);
  button(1, true);
  pointerTo(child, 45, 10);
  pointerTo(child, 45, -40); // beyond the window: the drag goes on
  button(1, false);
  ASSERT_TRUE(idleUntil([&] { return !editor->knob->isEditing(); }));
  EXPECT_FLOAT_EQ(effect->getParameter(0), 0.5f);
  EXPECT_TRUE(idleUntil([&] { return pixelAt(child, 45, 45) == rgb(frameColour(15)); }));

  // The wheel over the knob.
  pointerTo(child, 45, 45);
  button(4, true);
  button(4, false);
  ASSERT_TRUE(idleUntil([&] { return effect->getParameter(0) > 0.55f; }));
  EXPECT_FLOAT_EQ(effect->getParameter(0), 0.6f);

  // Keys typed while the host's window has the focus and the pointer is over the editor: the
  // editor takes Return for its focused button and passes the keys it does not use on to the
  // host's window.
  XSelectInput(display, parent, KeyPressMask | KeyReleaseMask);
  editor->frame->setFocusView(editor->button);
  XSetInputFocus(display, parent, RevertToParent, CurrentTime);
  auto type = [&](KeySym symbol) {
    const KeyCode code = XKeysymToKeycode(display, symbol);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XSync(display, False);
  };
  auto hostGotKey = [&](KeySym symbol) {
    XEvent event;
    while (XCheckTypedWindowEvent(display, parent, KeyPress, &event))
      if (XLookupKeysym(&event.xkey, 0) == symbol) return true;
    return false;
  };
  type(XK_Return);
  ASSERT_TRUE(idleUntil([&] { return effect->getParameter(1) == 0.0f; }));
  type(XK_a);
  EXPECT_TRUE(idleUntil([&] { return hostGotKey(XK_a); })) << "an unused key reaches the host";
  EXPECT_FALSE(hostGotKey(XK_Return)) << "a used key does not";

  ASSERT_NE(backEnd(), nullptr);
  EXPECT_EQ(backEnd()->getProtocolErrors(), 0);
  effect->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
  XDestroyWindow(display, parent);
}

TEST_F(X11WindowTest, AHostMayCloseTheEditorFromTheAutomationOfAClick) {
  const Window parent = makeHostWindow(300, 200);
  ASSERT_TRUE(openIn(parent));
  const Window child = frameWindow(parent);
  ASSERT_TRUE(idleUntil([&] { return pixelAt(child, 150, 90) == rgb(kPanelColour); }));
  host.setHandler(audioMasterAutomate, [&](const HostCall&) {
    effect->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
    return VstIntPtr{0};
  });
  pointerTo(child, 140, 40);
  button(1, true);
  button(1, false);
  // Press and release arrive in one idle's batch; the release closes the editor mid-batch.
  ASSERT_TRUE(idleUntil([&] { return editor->frame == nullptr; }));
  EXPECT_EQ(effect->getParameter(1), 1.0f);
  EXPECT_EQ(host.countOf(audioMasterEndEdit), 1u) << "the edit still ends";
  XSync(display, False);
  EXPECT_TRUE(childrenOf(parent).empty());
  XDestroyWindow(display, parent);
}

TEST_F(X11WindowTest, SurvivesTheHostDestroyingItsWindowBeforeClose) {
  const Window parent = makeHostWindow(300, 200);
  ASSERT_TRUE(openIn(parent));
  const Window child = frameWindow(parent);
  ASSERT_TRUE(idleUntil([&] { return pixelAt(child, 150, 90) == rgb(kPanelColour); }));
  XDestroyWindow(display, parent);
  XSync(display, False);
  ASSERT_TRUE(idleUntil([&] { return backEnd() != nullptr && backEnd()->isWindowGone(); }));
  editor->knob->setValue(0.7f); // repaints after the window went: dropped quietly
  for (int i = 0; i < 5; ++i)
    effect->dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
  CPoint where;
  EXPECT_TRUE(editor->frame->getCurrentMouseLocation(where));
  effect->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(editor->frame, nullptr);
  EXPECT_EQ(effect->dispatcher(effEditOpen, 0, 0, reinterpret_cast<void*>(parent), 0.0f), 1)
      << "opening on a window that no longer exists still gives a working frame";
  EXPECT_EQ(backEnd(), nullptr) << "off-screen";
}

TEST_F(X11WindowTest, WithoutHostSupportTheWindowChainIsResized) {
  host.setAnswer(audioMasterCanDo, 0);
  const Window parent = makeHostWindow(kPanelWidth + 10, kPanelHeight + 10);
  ASSERT_TRUE(openIn(parent));
  const Window child = frameWindow(parent);
  ASSERT_NE(child, 0u);
  ASSERT_TRUE(editor->frame->setSize(260, 150));
  XSync(display, False);
  XWindowAttributes childSize, parentSize;
  ASSERT_TRUE(idleUntil([&] {
    XGetWindowAttributes(display, child, &childSize);
    XGetWindowAttributes(display, parent, &parentSize);
    return childSize.width == 260 && parentSize.width == 270;
  }));
  EXPECT_EQ(childSize.height, 150);
  EXPECT_EQ(parentSize.height, 160) << "the parent keeps its 10 pixels around the frame";
  EXPECT_EQ(host.countOf(audioMasterSizeWindow), 0u);
  effect->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
  XDestroyWindow(display, parent);
}

TEST_F(X11WindowTest, AWindowIdThatIsNoWindowGivesAnOffscreenFrame) {
  ASSERT_TRUE(openIn(0x1fffffff)); // an id no client has
  EXPECT_NE(editor->frame, nullptr);
  EXPECT_EQ(backEnd(), nullptr);
  effect->dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(editor->frame->getComposedImage().at(150, 90), kPanelColour);
}

} // namespace
