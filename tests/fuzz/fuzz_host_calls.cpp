// libFuzzer target: the input bytes become a sequence of host calls on one instance, made
// through the instance record exactly as a host makes them: dispatcher requests with any
// opcode and arguments (with buffers a host could pass), parameter writes with any float,
// audio blocks of any size holding any sample values, and the editor opened, idled, clicked
// and closed in memory through the private request for our tools, and effEditOpen handed that
// request's record as its parent window (which it must take for a window id and leave alone).
// Sanitizers turn every fault into a finding.
#include "../../shell/audioeffect.h"
#include "../../shell/editorchannel.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {
// Reads the input front to back; past the end it yields zeros.
class FuzzInput {
public:
  FuzzInput(const uint8_t* data, size_t size) : data(data), size(size) {}
  bool empty() const { return position >= size; }
  uint8_t byte() { return position < size ? data[position++] : 0; }
  template <typename T> T take() {
    T value{};
    size_t left = position < size ? size - position : 0;
    size_t n = std::min(sizeof(T), left);
    if (n) memcpy(&value, data + position, n);
    position += n;
    return value;
  }
  float anyFloat() { return take<float>(); }

private:
  const uint8_t* data;
  size_t size;
  size_t position = 0;
};

VstIntPtr host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

enum Operation : uint8_t {
  kDispatch,
  kSetParameter,
  kGetParameter,
  kProcess,
  kEditorOpen,
  kEditorIdle,
  kEditorClose,
  kMouse,
  kKey,
  kText,
  kOperationCount
};

// Text requests and text arguments: a host's buffer of 512 bytes.
constexpr size_t kTextBuffer = 512;

void dispatchAny(AEffect* effect, FuzzInput& in, SparkwellOffscreenTarget& target) {
  VstInt32 opcode = static_cast<VstInt32>(in.take<int16_t>() % 400) - 50;
  VstInt32 index = in.byte() & 1 ? static_cast<VstInt32>(in.byte()) - 16 : in.take<VstInt32>();
  VstIntPtr value = in.byte() & 1 ? static_cast<VstIntPtr>(in.byte()) - 16 : in.take<VstIntPtr>();
  float opt = in.anyFloat();
  alignas(16) char buffer[kTextBuffer] = {0};
  void* slots[2] = {buffer, buffer};
  void* ptr = buffer;
  switch (opcode) {
  case effClose:
    return; // ends the instance: only at the end of the input
  case effEditOpen:
    ptr = &target;
    break;
  case effSetSpeakerArrangement:
  case effGetSpeakerArrangement:
    value = reinterpret_cast<VstIntPtr>(&slots[0]);
    break;
  default:
    break;
  }
  if (in.byte() & 1) {
    // A text argument taken from the input, terminated inside the buffer.
    size_t length = in.byte() * 2u;
    for (size_t i = 0; i < length && i + 1 < kTextBuffer; ++i)
      buffer[i] = static_cast<char>(in.byte());
  }
  effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

void processAny(AEffect* effect, FuzzInput& in) {
  int frames = static_cast<int>(in.take<uint16_t>() % 4200) - 100;
  bool inPlace = in.byte() & 1;
  size_t length = frames > 0 ? static_cast<size_t>(frames) : 0;
  // Exactly as long as the block: AddressSanitizer sees any access past the last frame.
  std::vector<float> left(length), right(length), outLeft(length), outRight(length);
  size_t fromInput = std::min<size_t>(length, 64);
  for (size_t i = 0; i < fromInput; ++i) {
    left[i] = in.anyFloat();
    right[i] = in.anyFloat();
  }
  uint32_t noise = in.take<uint32_t>() | 1u;
  for (size_t i = fromInput; i < length; ++i) {
    noise ^= noise << 13;
    noise ^= noise >> 17;
    noise ^= noise << 5;
    left[i] = static_cast<float>(static_cast<int32_t>(noise)) * 2.3e-10f;
    right[i] = -left[i];
  }
  float* inputs[2] = {left.data(), right.data()};
  float* outputs[2] = {outLeft.data(), outRight.data()};
  effect->processReplacing(effect, inputs, inPlace ? inputs : outputs, frames);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  AudioEffect* instance = createEffectInstance(host);
  if (!instance) return 0;
  AEffect* effect = instance->getAeffect();
  std::unique_ptr<SparkwellOffscreenTarget> target(new SparkwellOffscreenTarget());
  target->size = sizeof(SparkwellOffscreenTarget);
  target->version = kSparkwellOffscreenTargetVersion;
  for (int step = 0; step < 48 && !in.empty(); ++step) {
    switch (in.byte() % kOperationCount) {
    case kDispatch:
      dispatchAny(effect, in, *target);
      break;
    case kSetParameter: {
      VstInt32 index = static_cast<VstInt32>(in.byte() % 14) - 2;
      effect->setParameter(effect, index, in.anyFloat());
      break;
    }
    case kGetParameter:
      effect->getParameter(effect, static_cast<VstInt32>(in.byte() % 14) - 2);
      break;
    case kProcess:
      processAny(effect, in);
      break;
    case kEditorOpen:
      effect->dispatcher(effect, effVendorSpecific, kSparkwellChannelIndex,
                         kSparkwellChannelOpenEditor, target.get(), 0.0f);
      break;
    case kEditorIdle:
      effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);
      break;
    case kEditorClose:
      effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
      break;
    case kMouse: {
      double x = static_cast<double>(in.take<int16_t>() % 600);
      double y = static_cast<double>(in.take<int16_t>() % 400);
      int32_t buttons = static_cast<int32_t>(in.byte());
      uint8_t kind = in.byte() % 4;
      if (!target->frame) break; // the editor is closed
      if (kind == 0) target->mouseDown(target->frame, x, y, buttons);
      if (kind == 1) target->mouseMoved(target->frame, x, y, buttons);
      if (kind == 2) target->mouseUp(target->frame, x, y, buttons);
      if (kind == 3) target->wheel(target->frame, x, y, in.anyFloat(), buttons);
      break;
    }
    case kKey:
      effect->dispatcher(effect, in.byte() & 1 ? effEditKeyDown : effEditKeyUp,
                         static_cast<VstInt32>(in.byte()), static_cast<VstIntPtr>(in.byte()),
                         nullptr, static_cast<float>(in.byte() % 16));
      break;
    case kText: {
      // The text requests with the smallest buffers hosts pass.
      static const VstInt32 opcodes[] = {
          effGetParamName,          effGetParamLabel, effGetParamDisplay, effGetProgramName,
          effGetProgramNameIndexed, effGetEffectName, effGetVendorString, effGetProductString};
      static const size_t sizes[] = {64, 9, 9, 24, 24, 33, 65, 65};
      size_t which = in.byte() % 8;
      std::vector<char> text(sizes[which]);
      effect->dispatcher(effect, opcodes[which], static_cast<VstInt32>(in.byte() % 14) - 2, 0,
                         text.data(), 0.0f);
      break;
    }
    }
  }
  effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
  return 0;
}
