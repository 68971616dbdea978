// A host that closes the editor from inside the edit calls the editor makes while the user
// operates it: every control of both faces and the tab, by click, drag and key, with the close
// coming from audioMasterBeginEdit, audioMasterAutomate or audioMasterEndEdit. Meaningful under
// AddressSanitizer (the asan build runs it): the frame, the control and the back end must all
// outlive the call they are in, and the control must end its edit once and then stop. A host
// may also end the whole instance (effClose) there: the instance then outlives the call too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "offscreen_editor.h"

namespace sparkwell_test {
namespace {

enum class Gesture { click, drag, key };

const char* nameOf(Gesture gesture) {
  switch (gesture) {
  case Gesture::click:
    return "click";
  case Gesture::drag:
    return "drag";
  default:
    return "key";
  }
}

bool isKnob(int tag) {
  return tag >= 0 && tag <= 4;
}

bool onBackFace(int tag) {
  return tag >= 1 && tag <= 7;
}

// The key each control answers to: knobs step up, the pickup selector steps down, the
// two-state buttons flip on Return.
unsigned char keyFor(int tag) {
  if (isKnob(tag)) return VKEY_UP;
  return tag == 5 ? VKEY_DOWN : VKEY_RETURN;
}

// The edit calls for `tag` in the order the host got them: "b", "a" and "e".
std::string editsOf(const TestHost& host, int tag) {
  std::string edits;
  for (const HostCall& call : host.calls()) {
    if (call.index != tag) continue;
    if (call.opcode == audioMasterBeginEdit) edits += 'b';
    if (call.opcode == audioMasterAutomate) edits += 'a';
    if (call.opcode == audioMasterEndEdit) edits += 'e';
  }
  return edits;
}

// The centre of the control with `tag`, in panel pixels.
struct Spot {
  double x, y;
};
Spot centreOf(int tag) {
  const PanelArea area = controlArea(tag);
  return {(area.left + area.right) / 2.0, (std::max(area.top, 0) + area.bottom) / 2.0};
}

// Brings the control with `tag` in front (the tab for the back face) and, for a key, gives it
// the focus; then an idle, so that the gesture starts from a drawn, quiet window.
void prepare(OffscreenEditor& editor, int tag, Gesture gesture) {
  if (onBackFace(tag)) editor.click(407, 11); // the tab
  if (gesture == Gesture::key) {
    const Spot spot = centreOf(tag);
    editor.click(spot.x, spot.y); // the focus
  }
  editor.idle();
}

void perform(OffscreenEditor& editor, int tag, Gesture gesture) {
  const Spot spot = centreOf(tag);
  switch (gesture) {
  case Gesture::click:
    editor.press(spot.x, spot.y);
    editor.release(spot.x, spot.y);
    break;
  case Gesture::drag:
    editor.press(spot.x, spot.y);
    editor.move(spot.x + 10, spot.y + 12);
    editor.release(spot.x + 10, spot.y + 12);
    break;
  case Gesture::key:
    editor.key(keyFor(tag));
    break;
  }
}

TEST(HostClosesEditorTest, FromEveryEditCallOfEveryGestureOnEveryControl) {
  PluginLibrary library(pluginPath());
  ASSERT_TRUE(library.isLoaded()) << library.loadError();
  TestHost host;
  PluginInstance plugin(host, library.vstPluginMain());
  ASSERT_TRUE(plugin);

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

  for (VstInt32 opcode : hostCalls)
    for (int tag = 0; tag <= 9; ++tag)
      for (Gesture gesture : {Gesture::click, Gesture::drag, Gesture::key}) {
        closingCall = opcode;
        SCOPED_TRACE("host call " + std::to_string(closingCall) + ", tag " + std::to_string(tag) +
                     ", " + nameOf(gesture));
        // Every value leaves room to move either way; the pickup selector starts at its top
        // position so that a click on its middle changes it.
        for (VstInt32 index = 0; index <= 9; ++index)
          plugin.setParameter(index, index == 5 ? 0.0f : 0.5f);
        {
          OffscreenEditor editor(plugin);
          ASSERT_EQ(editor.openAnswer(), 1);
          prepare(editor, tag, gesture);
          host.clearCalls();
          closes = 0;
          armed = true;
          perform(editor, tag, gesture);
          armed = false;
          // A knob clicked without moving changes nothing and so automates nothing.
          const bool reached =
              !(isKnob(tag) && gesture == Gesture::click && closingCall == audioMasterAutomate);
          EXPECT_EQ(closes, reached ? 1 : 0);
          if (reached) {
            EXPECT_FALSE(editor.offersFrame()) << "the frame is gone";
          }
          const std::string edits = editsOf(host, tag);
          const bool paired =
              edits == "be" || edits == "bae" || (gesture == Gesture::drag && edits == "baae");
          EXPECT_TRUE(paired) << "one begin, one end, nothing after it: " << edits;
          if (reached) {
            editor.idle();
            editor.key(keyFor(tag));
            EXPECT_EQ(editsOf(host, tag), edits) << "a closed editor sends nothing";
          }
        }
        // Afterwards the editor opens, shows the front face and closes as ever.
        OffscreenEditor again(plugin);
        ASSERT_EQ(again.openAnswer(), 1);
        again.idle();
        EXPECT_EQ(again.image().width, kPanelWidth);
      }
}

// effClose from audioMasterAutomate or audioMasterEndEdit of a gesture on every control. The
// edit still ends at the host (while it is inside effClose), nothing at all reaches the host
// once effClose has returned, and the instance goes when the gesture's call returns: no use
// after free, and no leak (LeakSanitizer at the end of the asan build's run).
TEST(HostClosesEditorTest, TheInstanceEndedFromAutomateOrEndEditOfEveryGesture) {
  PluginLibrary library(pluginPath());
  ASSERT_TRUE(library.isLoaded()) << library.loadError();
  TestHost host;
  host.takeStrays(); // so that a call for the closed record would be recorded too
  for (VstInt32 closingCall : {audioMasterAutomate, audioMasterEndEdit})
    for (int tag = 0; tag <= 9; ++tag)
      for (Gesture gesture : {Gesture::click, Gesture::drag, Gesture::key}) {
        SCOPED_TRACE("host call " + std::to_string(closingCall) + ", tag " + std::to_string(tag) +
                     ", " + nameOf(gesture));
        PluginInstance plugin(host, library.vstPluginMain());
        ASSERT_TRUE(plugin);
        for (VstInt32 index = 0; index <= 9; ++index)
          plugin.setParameter(index, index == 5 ? 0.0f : 0.5f);
        OffscreenEditor editor(plugin);
        ASSERT_EQ(editor.openAnswer(), 1);
        prepare(editor, tag, gesture);
        host.clearCalls();
        size_t callsAtClose = 0;
        bool closed = false;
        host.setHandler(closingCall, [&](const HostCall& call) {
          if (!closed && call.index == tag) {
            closed = true;
            EXPECT_EQ(plugin.close(), 1);
            editor.instanceClosed();
            callsAtClose = host.calls().size();
          }
          return VstIntPtr{0};
        });
        perform(editor, tag, gesture);
        host.setHandler(closingCall, nullptr);
        const bool reached =
            !(isKnob(tag) && gesture == Gesture::click && closingCall == audioMasterAutomate);
        EXPECT_EQ(closed, reached);
        if (!reached) continue; // closed normally at the end of the scope
        EXPECT_EQ(host.calls().size(), callsAtClose) << "a call after effClose returned";
        EXPECT_FALSE(editor.offersFrame()) << "the frame is gone";
        const std::string edits = editsOf(host, tag);
        const bool paired =
            edits == "be" || edits == "bae" || (gesture == Gesture::drag && edits == "baae");
        EXPECT_TRUE(paired) << "one begin, one end, nothing after it: " << edits;
      }
}

} // namespace
} // namespace sparkwell_test
