// Where each host request lands: the two-level dispatcher reaches the effect's replacements
// and the editor with the arguments the host sent, and answers bools as 1 or 0.
#include <cmath>
#include <limits>

#include "base_fixture.h"

namespace {

struct Route {
  VstInt32 opcode;
  VstInt32 index;
  VstIntPtr value;
  Journal reaches;
  VstIntPtr answer;
};

TEST_F(BaseEffectTest, RequestsReachTheirOperations) {
  const Route routes[] = {
      {effOpen, 0, 0, {"open"}, 0},
      {effClose, 0, 0, {"close"}, 0}, // through dispatcher(), not the record: nothing is freed
      {effSetProgram, 0, 3, {"setProgram(3)"}, 0},
      {effGetProgramName, 0, 0, {"getProgramName"}, 0},
      {effGetParamLabel, 2, 0, {"label(2)"}, 0},
      {effGetParamDisplay, 1, 0, {"display(1)"}, 0},
      {effGetParamName, 7, 0, {"name(7)"}, 0},
      {effMainsChanged, 0, 0, {"suspend"}, 0},
      {effMainsChanged, 0, 5, {"resume", "canDo(receiveVstMidiEvent)"}, 0},
      {effGetChunk, 0, 0, {"getChunk(0)"}, 0},
      {effGetChunk, 2, 0, {"getChunk(1)"}, 0},
      {effSetChunk, 1, 100, {"setChunk(100,1)"}, 0},
      {effGetProgramNameIndexed, 5, 2, {"getProgramNameIndexed(2,5)"}, 1},
      {effSetBypass, 0, 7, {"setBypass(1)"}, 1},
      {effSetBypass, 0, 0, {"setBypass(0)"}, 1},
      {effGetEffectName, 0, 0, {"getEffectName"}, 1},
      {effGetVendorString, 0, 0, {"getVendorString"}, 1},
      {effGetProductString, 0, 0, {"getProductString"}, 1},
  };
  for (const Route& route : routes) {
    journal.clear();
    char text[64] = "Name";
    // dispatcher() directly for effClose so that the object survives the check.
    const VstIntPtr answer =
        route.opcode == effClose
            ? effect->dispatcher(route.opcode, route.index, route.value, text, 0.0f)
            : dispatch(route.opcode, route.index, route.value, text);
    EXPECT_EQ(journal, route.reaches) << "opcode " << route.opcode;
    EXPECT_EQ(answer, route.answer) << "opcode " << route.opcode;
  }
}

TEST_F(BaseEffectTest, TextArgumentsArriveWhole) {
  char name[] = "Crunch";
  dispatch(effSetProgramName, 0, 0, name);
  char number[] = "0.25";
  EXPECT_EQ(dispatch(effString2Parameter, 4, 0, number), 1);
  char token[] = "bypass";
  effect->canDoAnswer = -1;
  EXPECT_EQ(dispatch(effCanDo, 0, 0, token), -1);
  EXPECT_EQ(journal,
            (Journal{"setProgramName(Crunch)", "string2parameter(4,0.25)", "canDo(bypass)"}));
}

// The program number is compared as the host sent it, before it is narrowed.
TEST_F(BaseEffectTest, ProgramRangeIsCheckedOnTheFullValue) {
  for (VstIntPtr outside : {VstIntPtr{4}, VstIntPtr{-1}, (VstIntPtr{1} << 32) + 1,
                            std::numeric_limits<VstIntPtr>::min()})
    dispatch(effSetProgram, 0, outside);
  EXPECT_TRUE(journal.empty());
  dispatch(effSetProgram, 0, 0);
  dispatch(effSetProgram, 0, 3);
  EXPECT_EQ(journal, (Journal{"setProgram(0)", "setProgram(3)"}));
  EXPECT_EQ(dispatch(effGetProgram), 3);
}

TEST_F(BaseEffectTest, NullTextReachesNoOperation) {
  for (VstInt32 opcode :
       {effSetProgramName, effGetProgramName, effGetParamLabel, effGetParamDisplay, effGetParamName,
        effString2Parameter, effGetProgramNameIndexed, effGetEffectName, effGetVendorString,
        effGetProductString, effCanDo, effShellGetNextPlugin})
    EXPECT_EQ(dispatch(opcode, 0, 0, nullptr), 0) << "opcode " << opcode;
  EXPECT_TRUE(journal.empty());
}

TEST_F(BaseEffectTest, EditorRequestsReachTheEditor) {
  RecordingEditor* editor = attachEditor();
  ERect* rect = nullptr;
  EXPECT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
  EXPECT_EQ(rect, &editor->area);
  int parent = 0;
  EXPECT_EQ(dispatch(effEditOpen, 0, 0, &parent), 1);
  EXPECT_EQ(editor->openedWith, &parent);
  EXPECT_EQ(dispatch(effEditIdle), 0);
  EXPECT_EQ(dispatch(effSetEditKnobMode, 0, 2), 1);
  EXPECT_EQ(dispatch(effEditClose), 0);
  EXPECT_EQ(journal, (Journal{"getRect", "open", "idle", "setKnobMode(2)", "close"}));

  editor->answer = false;
  EXPECT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 0);
  EXPECT_EQ(dispatch(effEditOpen, 0, 0, &parent), 0);
}

// A key request's VstKeyCode: the character from index, the virtual key from the low byte of
// value, the modifiers from the low byte of opt taken as an integer.
TEST_F(BaseEffectTest, KeyRequestsBuildTheKeyCode) {
  RecordingEditor* editor = attachEditor();
  EXPECT_EQ(dispatch(effEditKeyDown, 'q', 0x1200 | VKEY_RETURN, nullptr, 9.7f), 1);
  EXPECT_EQ(editor->lastKey.character, 'q');
  EXPECT_EQ(editor->lastKey.virt, VKEY_RETURN);
  EXPECT_EQ(editor->lastKey.modifier, MODIFIER_SHIFT | MODIFIER_CONTROL);

  EXPECT_EQ(dispatch(effEditKeyUp, 0, VKEY_F1, nullptr, 256.0f + MODIFIER_ALTERNATE), 1);
  EXPECT_EQ(editor->lastKey.virt, VKEY_F1);
  EXPECT_EQ(editor->lastKey.modifier, MODIFIER_ALTERNATE);

  // Values an integer cannot hold carry no modifier rather than undefined bits.
  const float unusable[] = {std::numeric_limits<float>::quiet_NaN(),
                            std::numeric_limits<float>::infinity(), -1e20f, 3e9f};
  for (float opt : unusable) {
    dispatch(effEditKeyDown, 'x', VKEY_TAB, nullptr, opt);
    EXPECT_EQ(editor->lastKey.modifier, 0) << opt;
  }
  editor->answer = false;
  EXPECT_EQ(dispatch(effEditKeyDown, 'x', 0, nullptr, 0.0f), 0);
  EXPECT_EQ(journal.size(), 7u);
}

TEST_F(BaseEffectTest, EditorRequestsWithoutEditorReachNothing) {
  ERect* rect = nullptr;
  int parent = 0;
  EXPECT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 0);
  EXPECT_EQ(dispatch(effEditOpen, 0, 0, &parent), 0);
  EXPECT_EQ(dispatch(effEditKeyDown, 'a', 0, nullptr, 0.0f), 0);
  EXPECT_EQ(dispatch(effSetEditKnobMode, 0, 2), 0);
  EXPECT_EQ(rect, nullptr);
}

// The base editor answers the knob-mode request with false, whatever the mode.
TEST_F(BaseEffectTest, BaseEditorRefusesKnobMode) {
  effect->setEditor(new AEffEditor(effect));
  for (VstIntPtr mode : {0, 1, 2})
    EXPECT_EQ(dispatch(effSetEditKnobMode, 0, mode), 0);
  ERect somewhere{};
  ERect* rect = &somewhere;
  EXPECT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 0);
  EXPECT_EQ(rect, nullptr);
}

TEST_F(BaseEffectTest, CategoryFollowsTheSynthFlag) {
  EXPECT_EQ(dispatch(effGetPlugCategory), kPlugCategUnknown);
  effect->setFlags(effFlagsCanReplacing | effFlagsIsSynth);
  EXPECT_EQ(dispatch(effGetPlugCategory), kPlugCategSynth);
}

} // namespace
