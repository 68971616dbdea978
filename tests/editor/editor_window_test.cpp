// The editor of the built plug-in in a real X window, as a host runs it: the size request,
// effEditOpen on the host's window, idle calls, pointer input through XTest, and effEditClose.
// What the window shows is compared with the faces worked out from the pictures.
#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "panel_model.h"
#include "parameters.h"
#include "plugin_host.h"
#include "x11_host_window.h"

namespace sparkwell_test {

namespace {

// Our composition and the plug-in's premultiplied one round differently at soft edges.
constexpr int kTolerance = 2;

// Points inside the tab (the part the window shows), the SET knob and the Transistor toggle.
constexpr int kTabX = 400, kTabY = 12;
constexpr int kSetX = 224, kSetY = 186;
constexpr int kTransistorX = 172, kTransistorY = 74;

int openDescriptors() {
  int count = 0;
  if (DIR* folder = opendir("/proc/self/fd")) {
    while (readdir(folder) != nullptr)
      ++count;
    closedir(folder);
  }
  return count;
}

// The begin-edit, automate and end-edit calls the host received, in order: "b8", "a8=1.00",
// "e8".
std::vector<std::string> editCalls(const TestHost& host) {
  std::vector<std::string> calls;
  for (const HostCall& call : host.calls()) {
    const std::string index = std::to_string(call.index);
    if (call.opcode == audioMasterBeginEdit) calls.push_back("b" + index);
    if (call.opcode == audioMasterEndEdit) calls.push_back("e" + index);
    if (call.opcode == audioMasterAutomate) {
      char value[16];
      std::snprintf(value, sizeof value, "%.2f", static_cast<double>(call.opt));
      calls.push_back("a" + index + "=" + value);
    }
  }
  return calls;
}

class EditorWindowTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    library = new PluginLibrary(pluginPath());
    artwork = new PanelArtwork(SPARKWELL_RESOURCES_DIR);
  }
  static void TearDownTestSuite() {
    delete artwork;
    delete library;
  }

  void SetUp() override {
    ASSERT_TRUE(xvfbStarted) << "Xvfb did not start";
    ASSERT_TRUE(library->isLoaded()) << library->loadError();
    ASSERT_TRUE(artwork->loaded());
    plugin = std::make_unique<PluginInstance>(host, library->vstPluginMain());
    ASSERT_TRUE(*plugin);
    window = std::make_unique<X11HostWindow>(kPanelWidth, kPanelHeight);
    ASSERT_TRUE(window->isOpen());
    window->setIdle([this] { plugin->dispatch(effEditIdle); });
  }
  void TearDown() override {
    plugin.reset(); // closes the instance, and with it the editor, while our window still exists
    window.reset();
  }

  VstIntPtr openEditor() {
    const VstIntPtr answer = plugin->dispatch(effEditOpen, 0, 0, window->parentHandle());
    window->idleFor(50);
    return answer;
  }

  // The one window the editor made inside ours; 0 when there is not exactly one.
  Window editorWindow() {
    const std::vector<Window> children = window->children();
    return children.size() == 1 ? children[0] : 0;
  }

  // The effect's values as the controls hold them, the tab at `tabValue`.
  PanelState effectState(bool backFace, float tabValue) {
    PanelState state;
    for (VstInt32 tag = 0; tag < 10; ++tag)
      state.values[static_cast<size_t>(tag)] = plugin->getParameter(tag);
    state.values[kPanelTabTag] = tabValue;
    state.backFace = backFace;
    return state;
  }

  // Waits up to a second (idling) for the editor's window to show `state`: the window server
  // takes the plug-in's drawing on its own connection, at its own pace.
  ImageDifference differenceFrom(const PanelState& state) {
    const RgbImage expected = artwork->compose(state);
    ImageDifference difference;
    for (int attempt = 0; attempt < 50; ++attempt) {
      const Window editor = editorWindow();
      if (editor == 0) return {expected.pixels.size(), 255, -1, -1};
      difference =
          compareImages(window->capture(editor, kPanelWidth, kPanelHeight), expected, kTolerance);
      if (difference.differing == 0) break;
      window->idleFor(20);
    }
    return difference;
  }

  void expectShows(const PanelState& state, const char* what) {
    const ImageDifference difference = differenceFrom(state);
    EXPECT_EQ(difference.differing, 0u)
        << what << ": first differing pixel at " << difference.firstX << ", " << difference.firstY
        << ", largest channel difference " << difference.largest;
  }

  static PluginLibrary* library;
  static PanelArtwork* artwork;
  TestHost host;
  std::unique_ptr<PluginInstance> plugin;
  std::unique_ptr<X11HostWindow> window;
};

PluginLibrary* EditorWindowTest::library = nullptr;
PanelArtwork* EditorWindowTest::artwork = nullptr;

TEST_F(EditorWindowTest, OpensOneChildWindowOfTheReportedSizeShowingTheFrontAndClosesIt) {
  ERect* rect = nullptr;
  EXPECT_EQ(plugin->dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->bottom, 306);
  EXPECT_EQ(rect->right, 450);

  EXPECT_EQ(openEditor(), 1);
  const Window editor = editorWindow();
  ASSERT_NE(editor, 0u);
  int width = 0, height = 0;
  window->sizeOf(editor, width, height);
  EXPECT_EQ(width, 450);
  EXPECT_EQ(height, 306);
  EXPECT_TRUE(window->isViewable(editor));
  expectShows(effectState(false, 0.0f), "front face at the defaults");

  plugin->dispatch(effEditClose);
  EXPECT_TRUE(window->children().empty());
  // Idle and close on a closed editor do nothing; it opens again normally.
  plugin->dispatch(effEditIdle);
  plugin->dispatch(effEditClose);
  EXPECT_TRUE(window->children().empty());
  EXPECT_EQ(openEditor(), 1);
  expectShows(effectState(false, 0.0f), "front face after closing twice");
}

// The desktop's scale as X11 desktops publish it: Xft.dpi among the server's resources, merged
// with xrdb (the private server runs with -noreset, so they stay while no client is connected),
// and removed again afterwards.
class DesktopResources {
public:
  explicit DesktopResources(const std::string& lines)
      : merged(run("echo '" + lines + "' | xrdb -nocpp -merge")) {}
  ~DesktopResources() { run("xrdb -remove"); }
  bool isMerged() const { return merged; }

private:
  static bool run(const std::string& command) { return std::system(command.c_str()) == 0; }
  bool merged;
};

TEST_F(EditorWindowTest, TheDesktopsDpiAndThenTheHostsFactorSizeTheWindow) {
  DesktopResources desktop("Xft.dpi: 192");
  ASSERT_TRUE(desktop.isMerged()) << "xrdb (x11-xserver-utils) could not merge the resource";
  host.useAnswers(hostkit::Answers::Accepting);
  ERect* rect = nullptr;
  ASSERT_EQ(plugin->dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right, 900);
  EXPECT_EQ(rect->bottom, 612);
  ASSERT_EQ(openEditor(), 1);
  const Window editor = editorWindow();
  ASSERT_NE(editor, 0u);
  int width = 0, height = 0;
  window->sizeOf(editor, width, height);
  EXPECT_EQ(width, 900);
  EXPECT_EQ(height, 612);

  // The host's factor wins over the desktop's, also while the window is open: the window
  // follows at once, then the host is asked to resize its own.
  host.clearCalls();
  EXPECT_EQ(plugin->dispatch(effVendorSpecific, CCONST('P', 'r', 'e', 'S'),
                             CCONST('A', 'e', 'C', 's'), nullptr, 1.5f),
            1);
  window->idleFor(50);
  window->sizeOf(editor, width, height);
  EXPECT_EQ(width, 675);
  EXPECT_EQ(height, 459);
  ASSERT_EQ(plugin->dispatch(effEditGetRect, 0, 0, &rect), 1);
  EXPECT_EQ(rect->right, 675);
  EXPECT_EQ(rect->bottom, 459);
  bool hostAsked = false;
  for (const HostCall& call : host.calls())
    hostAsked = hostAsked ||
                (call.opcode == audioMasterSizeWindow && call.index == 675 && call.value == 459);
  EXPECT_TRUE(hostAsked) << "audioMasterSizeWindow 675 x 459";
}

TEST_F(EditorWindowTest, TabClicksFlipTheFacesAndReachTheHostAsEditsOfIndex8) {
  ASSERT_EQ(openEditor(), 1);
  host.clearCalls();
  window->click(kTabX, kTabY);
  EXPECT_EQ(editCalls(host), (std::vector<std::string>{"b8", "a8=1.00", "e8"}));
  expectShows(effectState(true, 1.0f), "back face with the tab darker");
  EXPECT_EQ(plugin->getParameter(8), 0.0f);

  host.clearCalls();
  window->click(kTabX, kTabY);
  EXPECT_EQ(editCalls(host), (std::vector<std::string>{"b8", "a8=0.00", "e8"}));
  expectShows(effectState(false, 0.0f), "front face again");
}

TEST_F(EditorWindowTest, DraggingSetUpwardAutomatesGainBetweenOneBeginAndOneEnd) {
  ASSERT_EQ(openEditor(), 1);
  const float start = plugin->getParameter(kGain);
  host.clearCalls();
  window->drag(kSetX, kSetY, 0, -50, 10);

  const std::vector<HostCall> calls = host.calls();
  std::vector<const HostCall*> edits;
  for (const HostCall& call : calls)
    if (call.opcode == audioMasterBeginEdit || call.opcode == audioMasterEndEdit ||
        call.opcode == audioMasterAutomate)
      edits.push_back(&call);
  ASSERT_GE(edits.size(), 7u); // a begin, at least five values, an end
  EXPECT_EQ(edits.front()->opcode, audioMasterBeginEdit);
  EXPECT_EQ(edits.front()->index, kGain);
  EXPECT_EQ(edits.back()->opcode, audioMasterEndEdit);
  EXPECT_EQ(edits.back()->index, kGain);
  float previous = start;
  for (size_t i = 1; i + 1 < edits.size(); ++i) {
    EXPECT_EQ(edits[i]->opcode, audioMasterAutomate);
    EXPECT_EQ(edits[i]->index, kGain);
    EXPECT_GT(edits[i]->opt, previous) << "moving up must raise the gain";
    previous = edits[i]->opt;
  }
  // Linear knob mode: 50 pixels up out of the 200 that span the range.
  EXPECT_NEAR(previous, start + 0.25f, 1e-5f);
  EXPECT_EQ(plugin->getParameter(kGain), previous);
  expectShows(effectState(false, 0.0f), "SET at the dragged value");
}

TEST_F(EditorWindowTest, ProgramChangeMovesTheControlsAtTheNextIdleAndKeepsTheFace) {
  // Program 1 differs from program 0 in Gain, Effect and Pickup.
  plugin->dispatch(effSetProgram, 0, 1);
  plugin->setParameter(kGain, 0.1f);
  plugin->setParameter(kEffect, 0.0f);
  plugin->setParameter(kPickup, 0.75f);
  plugin->dispatch(effSetProgram, 0, 0);
  ASSERT_EQ(openEditor(), 1);
  const PanelState programZero = effectState(false, 0.0f);
  expectShows(programZero, "front face at program 0");

  plugin->dispatch(effSetProgram, 0, 1);
  const PanelState programOne = effectState(false, 0.0f);
  ASSERT_NE(frameForValue(kGain, programOne.values[kGain]),
            frameForValue(kGain, programZero.values[kGain]));
  window->idleFor(20);
  expectShows(programOne, "front face at program 1");
  window->click(kTabX, kTabY);
  expectShows(effectState(true, 1.0f), "back face at program 1");
}

TEST_F(EditorWindowTest, HostValuesBeyondAControlsRangeShowLimited) {
  ASSERT_EQ(openEditor(), 1);
  plugin->setParameter(kGain, 1.5f);
  plugin->setParameter(kTransistor, 0.7f);
  plugin->setParameter(kPickup, 0.3f);
  EXPECT_EQ(plugin->getParameter(kGain), 1.5f); // the effect keeps what it was given
  window->idleFor(20);
  PanelState front = effectState(false, 0.0f);
  ASSERT_EQ(frameForValue(kGain, front.values[kGain]), 30);
  expectShows(front, "SET at its last frame");
  window->click(kTabX, kTabY);
  const PanelState back = effectState(true, 1.0f);
  ASSERT_EQ(frameForValue(kTransistor, 0.7f), 0);
  ASSERT_EQ(frameForValue(kPickup, 0.3f), 1);
  expectShows(back, "Transistor lever up at 0.7, Pickup at Hot Humbucker for 0.3");

  // The toggle held 0.7: the next click sets and sends its maximum.
  host.clearCalls();
  window->click(kTransistorX, kTransistorY);
  EXPECT_EQ(editCalls(host), (std::vector<std::string>{"b6", "a6=1.00", "e6"}));
}

TEST_F(EditorWindowTest, IndicesWithoutAControlMoveNothingAndFlipNothing) {
  ASSERT_EQ(openEditor(), 1);
  const PanelState before = effectState(false, 0.0f);
  plugin->setParameter(8, 1.0f);
  plugin->setParameter(10, 1.0f);
  plugin->setParameter(-1, 1.0f);
  window->idleFor(20);
  expectShows(before, "front face with the tab unmoved");
}

TEST_F(EditorWindowTest, ReopeningAfterTheBackFaceShowsTheFrontWithTheTabAtFrame0) {
  ASSERT_EQ(openEditor(), 1);
  window->click(kTabX, kTabY);
  expectShows(effectState(true, 1.0f), "back face");
  plugin->dispatch(effEditClose);
  ASSERT_EQ(openEditor(), 1);
  expectShows(effectState(false, 0.0f), "front face after reopening");
}

TEST_F(EditorWindowTest, OpeningAnOpenEditorAgainReplacesItsWindow) {
  ASSERT_EQ(openEditor(), 1);
  ASSERT_EQ(openEditor(), 1);
  EXPECT_EQ(window->children().size(), 1u);
  expectShows(effectState(false, 0.0f), "front face of the second open");
  plugin->dispatch(effEditClose);
  EXPECT_TRUE(window->children().empty());
}

TEST_F(EditorWindowTest, AParentIdWithoutAWindowIsAnsweredZeroAndTheNextOpenWorks) {
  // The server answers the plug-in's connection with an error for this id; that must end in a
  // quiet failure, not in the end of the host, and the host must hear that nothing is shown.
  EXPECT_EQ(plugin->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t{0x3fffff0})), 0);
  window->idleFor(20);
  EXPECT_TRUE(window->children().empty());
  plugin->dispatch(effEditClose);
  EXPECT_TRUE(window->children().empty());
  EXPECT_EQ(openEditor(), 1);
  EXPECT_EQ(window->children().size(), 1u);
}

TEST_F(EditorWindowTest, ClosingTheInstanceWithTheEditorOpenRemovesTheWindow) {
  ASSERT_EQ(openEditor(), 1);
  ASSERT_EQ(window->children().size(), 1u);
  plugin->close();
  EXPECT_TRUE(window->children().empty());
}

TEST_F(EditorWindowTest, ClosingTheInstanceInTheMiddleOfADragStillEndsTheEdit) {
  // A host that tears the instance down while the user holds SET must still see the edit end,
  // or its automation lane stays in a recording gesture.
  ASSERT_EQ(openEditor(), 1);
  host.clearCalls();
  window->movePointer(kSetX, kSetY);
  window->idleFor(20);
  window->pressLeftButton();
  window->idleFor(20);
  window->movePointer(kSetX, kSetY - 20);
  window->idleFor(20);
  ASSERT_EQ(host.countOf(audioMasterBeginEdit), 1u);
  ASSERT_EQ(host.countOf(audioMasterEndEdit), 0u);
  plugin->close();
  window->releaseLeftButton();
  EXPECT_EQ(host.countOf(audioMasterEndEdit), 1u);
  const std::vector<HostCall> calls = host.calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back().opcode, audioMasterEndEdit);
  EXPECT_EQ(calls.back().index, kGain);
}

TEST_F(EditorWindowTest, HundredOpenIdleCloseCyclesLeaveNoWindowOrConnectionBehind) {
  // One cycle first, so that whatever the libraries set up once is in place.
  ASSERT_EQ(openEditor(), 1);
  plugin->dispatch(effEditClose);
  const int descriptors = openDescriptors();
  for (int cycle = 0; cycle < 100; ++cycle) {
    // Every tenth cycle on a new host window, as hosts do when they rebuild theirs.
    if (cycle % 10 == 9) window = std::make_unique<X11HostWindow>(kPanelWidth, kPanelHeight);
    ASSERT_EQ(plugin->dispatch(effEditOpen, 0, 0, window->parentHandle()), 1) << cycle;
    plugin->dispatch(effEditIdle);
    plugin->dispatch(effEditIdle);
    ASSERT_EQ(window->children().size(), 1u) << cycle;
    plugin->dispatch(effEditClose);
    ASSERT_TRUE(window->children().empty()) << cycle;
  }
  EXPECT_EQ(openDescriptors(), descriptors);
}

// The window draws only what changed; whatever the order of host changes, flips, exposes and
// drags, it must end up showing what a window drawn from scratch shows.
TEST_F(EditorWindowTest, RandomSessionsShowWhatAFullRepaintShows) {
  ASSERT_EQ(openEditor(), 1);
  std::mt19937 generator(20261208);
  auto uniform = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(generator);
  };
  // Points inside the knobs of each face: SET on the front; Input, Input Filtering, Treble and
  // Grid Current on the back.
  const std::vector<std::pair<int, int>> frontKnobs{{kSetX, kSetY}};
  const std::vector<std::pair<int, int>> backKnobs{{61, 67}, {61, 163}, {61, 259}, {173, 259}};
  const VstInt32 hostTags[] = {0, 1, 2, 3, 4, 5, 6, 7, 9};
  bool backFace = false;
  for (int step = 0; step < 40; ++step) {
    const int kind = uniform(0, 5);
    std::string what;
    if (kind <= 1) {
      // Also beyond the range, which the controls show limited.
      const VstInt32 tag = hostTags[uniform(0, 8)];
      plugin->setParameter(tag, static_cast<float>(uniform(-20, 120)) / 100.0f);
      what = "host change of " + std::to_string(tag);
      window->idleFor(20);
    } else if (kind == 2) {
      window->click(kTabX, kTabY);
      backFace = !backFace;
      what = "flip";
    } else if (kind == 3) {
      const Window editor = editorWindow();
      ASSERT_NE(editor, 0u);
      const int x = uniform(0, kPanelWidth - 1), y = uniform(0, kPanelHeight - 1);
      window->expose(editor, x, y, uniform(1, kPanelWidth - x), uniform(1, kPanelHeight - y));
      what = "expose";
      window->idleFor(20);
    } else {
      const auto& knobs = backFace ? backKnobs : frontKnobs;
      const auto knob = knobs[static_cast<size_t>(uniform(0, static_cast<int>(knobs.size()) - 1))];
      window->movePointer(knob.first, knob.second);
      window->idleFor(10);
      window->pressLeftButton();
      window->idleFor(10);
      window->movePointer(knob.first + uniform(-30, 30), knob.second + uniform(-60, 60));
      window->idleFor(20);
      window->releaseLeftButton();
      window->idleFor(20);
      what = "drag";
    }
    const std::string context = "step " + std::to_string(step) + ", " + what;
    expectShows(effectState(backFace, backFace ? 1.0f : 0.0f), context.c_str());
    if (HasFailure()) return;
  }

  // The same state drawn from scratch: a new window, flipped to the same face.
  const Window editor = editorWindow();
  ASSERT_NE(editor, 0u);
  const RgbImage shown = window->capture(editor, kPanelWidth, kPanelHeight);
  plugin->dispatch(effEditClose);
  ASSERT_EQ(openEditor(), 1);
  if (backFace) window->click(kTabX, kTabY);
  window->idleFor(50);
  const Window fresh = editorWindow();
  ASSERT_NE(fresh, 0u);
  const ImageDifference difference =
      compareImages(shown, window->capture(fresh, kPanelWidth, kPanelHeight), 0);
  EXPECT_EQ(difference.differing, 0u)
      << "first differing pixel at " << difference.firstX << ", " << difference.firstY;
}

} // namespace
} // namespace sparkwell_test
