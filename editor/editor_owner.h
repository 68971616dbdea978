// What the Sparkwell window needs from whoever owns it: the values its controls start from, and
// where a user's changes go. The VST effect answers with its parameters and its host's
// automation calls; the LV2 UI with the values its host sent and its host's write and touch.
#pragma once

#include <cstdint>

class EditorOwner {
public:
  // The value the control with this tag shows when the window opens (0 for the panel tab).
  virtual float parameterValue(int32_t index) = 0;
  // A control moved by the user: set the parameter and tell the host. The editor hears of the
  // change back through its own setParameter.
  virtual void controlChanged(int32_t index, float value) = 0;
  // A user's gesture on a control begins and ends (a drag, say).
  virtual void beginControlEdit(int32_t index) = 0;
  virtual void endControlEdit(int32_t index) = 0;

protected:
  ~EditorOwner() = default;
};
