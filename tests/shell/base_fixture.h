// A RecordingEffect made directly on the shell's base classes, answered by a TestHost, and
// closed through its record at the end of the test unless the test closed it.
#pragma once

#include <gtest/gtest.h>

#include "plugin_host.h"
#include "recording_effect.h"

class BaseEffectTest : public ::testing::Test {
protected:
  BaseEffectTest()
      : effect(new RecordingEffect(&sparkwell_test::TestHost::callback, journal)),
        record(effect->getAeffect()) {
    host.adopt(record);
  }
  ~BaseEffectTest() override {
    if (record) closeThroughRecord();
  }

  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) {
    return record->dispatcher(record, opcode, index, value, ptr, opt);
  }

  // The host's effClose; the effect object is gone afterwards.
  VstIntPtr closeThroughRecord() {
    AEffect* closing = record;
    record = nullptr;
    effect = nullptr;
    const VstIntPtr answer = closing->dispatcher(closing, effClose, 0, 0, nullptr, 0.0f);
    host.forget(closing);
    return answer;
  }

  // Gives the effect a RecordingEditor that writes into the same journal.
  RecordingEditor* attachEditor() {
    RecordingEditor* editor = new RecordingEditor(effect, journal);
    effect->setEditor(editor);
    return editor;
  }

  sparkwell_test::TestHost host;
  Journal journal;
  RecordingEffect* effect;
  AEffect* record;
};
