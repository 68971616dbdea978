#include "editor_session.h"

#include "checks.h"

#include "system.h"

EditorSession::EditorSession(Instance& instance, HostDisplay& display)
    : instance(instance), display(display) {}

EditorSession::~EditorSession() {
  close();
}

VstIntPtr EditorSession::open() {
  if (!parentWindow) parentWindow = display.createParent(facts().editorWidth, facts().editorHeight);
  VstIntPtr answer = instance.dispatch(effEditOpen, 0, 0, display.editorParent(parentWindow));
  opened = true;
  return answer;
}

void EditorSession::close() {
  if (opened && instance) instance.dispatch(effEditClose);
  opened = false;
  if (parentWindow) display.destroyWindow(parentWindow);
  parentWindow = 0;
}

void EditorSession::pump(int rounds) {
  for (int i = 0; i < rounds; ++i) {
    display.sync();
    instance.dispatch(effEditIdle);
    sleepMilliseconds(5);
  }
}

void EditorSession::click(int x, int y) {
  display.click(parentWindow, x, y);
  pump();
}

void EditorSession::drag(int x0, int y0, int x1, int y1) {
  display.drag(parentWindow, x0, y0, x1, y1, 8);
  pump();
}
