// The editor's pictures are decoded once per process and shared: instances made and destroyed
// on several threads at once never hold two copies of a picture, and the pixels go with the
// last instance. A picture that cannot be decoded leaves an instance that still works, and
// nothing behind that a later instance would pick up.
//
// The decoded pixels are watched through the allocator: this program counts the live blocks
// exactly as large as a 450 x 306 face (the editor's other blocks are far smaller, and no
// window is opened while counting).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <thread>
#include <vector>

#include "cframe.h"
#include "sparkwell.h"
#include "sparkwelleditor.h"
#include "test_seams.h"

namespace {

constexpr size_t kFaceBytes = 450 * 306 * 4;
std::atomic<int> liveFaces{0};
std::atomic<int> mostLiveFaces{0};

void noteFace(size_t size, int change) {
  if (size != kFaceBytes) return;
  const int now = liveFaces.fetch_add(change) + change;
  int most = mostLiveFaces.load();
  while (now > most && !mostLiveFaces.compare_exchange_weak(most, now)) {
  }
}

} // namespace

void* operator new(size_t size) {
  void* block = std::malloc(size > 0 ? size : 1);
  if (block == nullptr) throw std::bad_alloc();
  noteFace(size, 1);
  return block;
}
void operator delete(void* block) noexcept {
  std::free(block);
}
void operator delete(void* block, size_t size) noexcept {
  if (block != nullptr) noteFace(size, -1);
  std::free(block);
}

namespace sparkwell_test {
namespace {

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

// Instances made and destroyed on four threads at once, `rounds` each.
void churnInstances(int rounds) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([rounds] {
      for (int i = 0; i < rounds; ++i)
        delete new Sparkwell(quietHost);
    });
  for (std::thread& thread : threads)
    thread.join();
}

TEST(SharedPicturesTest, InstancesOnSeveralThreadsShareTheFacesAndTheLastReleasesThem) {
  // Sized deletes are how this program sees a block go; without them nothing here is measured.
  ASSERT_EQ(liveFaces.load(), 0);
  {
    auto* holder = new Sparkwell(quietHost);
    ASSERT_EQ(liveFaces.load(), 2) << "front and back, decoded by the first instance";
    mostLiveFaces = 2;
    churnInstances(25);
    EXPECT_EQ(mostLiveFaces.load(), 2) << "no instance decoded a face of its own";
    EXPECT_EQ(liveFaces.load(), 2);
    delete holder;
  }
  EXPECT_EQ(liveFaces.load(), 0) << "the last instance took the pixels with it";

  // Now every instance may be the last or the first: one decodes while another releases.
  mostLiveFaces = 0;
  churnInstances(25);
  EXPECT_LE(mostLiveFaces.load(), 2) << "never two copies of a face at once";
  EXPECT_EQ(liveFaces.load(), 0);
}

TEST(SharedPicturesTest, AnUndecodablePictureLeavesAWorkingInstanceAndNothingBehind) {
  const unsigned char notAPng[] = {0x89, 'P', 'N', 'G', 0, 1, 2, 3, 4, 5, 6, 7};
  replacePngResource(5, std::vector<unsigned char>(std::begin(notAPng), std::end(notAPng)));
  // A point of the back face that no control covers.
  constexpr int32_t kBareX = 380, kBareY = 200;
  auto backFaceAt = [](Sparkwell& effect) {
    auto* editor = static_cast<sparkwelleditor*>(effect.getEditor());
    editor->open(nullptr); // no window: the frame draws into memory
    CFrame* frame = editor->getFrame();
    CPoint tab(400, 12);
    frame->onMouseDown(tab, CButtonState(kLButton));
    frame->onMouseUp(tab, CButtonState(kLButton));
    effect.dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
    EXPECT_TRUE(editor->isBackPanelShown());
    const uint32_t pixel = frame->getComposedImage().at(kBareX, kBareY);
    effect.dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
    return pixel;
  };
  {
    Sparkwell broken(quietHost);
    ERect* rect = nullptr;
    EXPECT_EQ(broken.dispatcher(effEditGetRect, 0, 0, &rect, 0.0f), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 450) << "the front picture is whole";
    EXPECT_EQ(backFaceAt(broken), 0xff000000u) << "no back picture: the frame's black";
  }
  restorePngResources();
  Sparkwell whole(quietHost);
  EXPECT_NE(backFaceAt(whole), 0xff000000u) << "the real back picture, decoded afresh";
}

} // namespace
} // namespace sparkwell_test
