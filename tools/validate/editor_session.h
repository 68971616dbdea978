// One editor window as a host keeps it: a parent window of its own, effEditOpen into it,
// idle calls that let the editor handle the input the server queued, effEditClose.
#pragma once

#include "display.h"
#include "host.h"

class EditorSession {
public:
  EditorSession(Instance& instance, HostDisplay& display);
  ~EditorSession();
  EditorSession(const EditorSession&) = delete;
  EditorSession& operator=(const EditorSession&) = delete;

  // effEditOpen into a new parent window; answers what the dispatcher returned.
  VstIntPtr open();
  void close();
  // Waits for the server, then gives the editor `rounds` idle calls a few ms apart, so that
  // queued input reaches it.
  void pump(int rounds = 6);
  uintptr_t parent() const { return parentWindow; }

  // Gestures at frame coordinates of the 450 x 306 editor.
  void click(int x, int y);
  void drag(int x0, int y0, int x1, int y1);

private:
  Instance& instance;
  HostDisplay& display;
  uintptr_t parentWindow = 0;
  bool opened = false;
};
