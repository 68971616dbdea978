// A whole-window repaint (what a flip of the faces asks for), on the front face made of the
// library's own pictures, and the decoding of the largest picture.
#include <benchmark/benchmark.h>

#include "canimknob.h"
#include "cbitmap.h"
#include "cframe.h"
#include "conoffbutton.h"

namespace {

// The front face: background, SET knob, BOOST switch and the tab, placed as the editor does.
CFrame* frontFace() {
  CBitmap* front = new CBitmap(CResourceDescription(1));
  CBitmap* setKnob = new CBitmap(CResourceDescription(8));
  CBitmap* boost = new CBitmap(CResourceDescription(7));
  CBitmap* tab = new CBitmap(CResourceDescription(6));
  CFrame* frame = new CFrame(CRect(0, 0, 450, 306), nullptr, nullptr);
  frame->setBackground(front);
  frame->addView(new CAnimKnob(CRect(192, 154, 256, 218), nullptr, 0, 31, 64, setKnob));
  frame->addView(new COnOffButton(CRect(87, 159, 121, 214), nullptr, 9, boost));
  frame->addView(new COnOffButton(CRect(357, -4, 457, 26), nullptr, 8, tab));
  for (CBitmap* bitmap : {front, setKnob, boost, tab})
    bitmap->forget();
  return frame;
}

void wholeWindowRepaint(benchmark::State& state) {
  CFrame* frame = frontFace();
  for (auto _ : state) {
    frame->invalid(); // all of it, as after a flip
    frame->idle();
    benchmark::DoNotOptimize(frame->getComposedImage().pixels.data());
  }
  state.SetItemsProcessed(state.iterations());
  frame->forget();
}
BENCHMARK(wholeWindowRepaint)->Unit(benchmark::kMicrosecond);

void decodeFrontPicture(benchmark::State& state) {
  for (auto _ : state) {
    CBitmap* front = new CBitmap(CResourceDescription(1));
    benchmark::DoNotOptimize(front->getImage().pixels.data());
    front->forget();
  }
}
BENCHMARK(decodeFrontPicture)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
