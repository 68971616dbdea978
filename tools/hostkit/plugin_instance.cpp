#include <algorithm>
#include <cstring>
#include <limits>

#include "hostkit.h"

namespace hostkit {

namespace {

// Samples written past the end of a buffer land on these.
constexpr size_t kCanarySamples = 16;
const float kCanarySample = 1234.5f;

std::vector<float> withCanary(const std::vector<float>& samples) {
  std::vector<float> buffer(samples);
  buffer.insert(buffer.end(), kCanarySamples, kCanarySample);
  return buffer;
}

bool canaryIntact(const std::vector<float>& buffer, size_t frames) {
  for (size_t i = frames; i < buffer.size(); ++i)
    if (buffer[i] != kCanarySample) return false;
  return true;
}

bool sameBits(const std::vector<float>& a, const std::vector<float>& b, size_t frames) {
  return std::memcmp(a.data(), b.data(), frames * sizeof(float)) == 0;
}

} // namespace

TextAnswer readTextBuffer(const std::vector<char>& buffer, unsigned char canary) {
  TextAnswer result;
  const char* end = static_cast<const char*>(std::memchr(buffer.data(), 0, buffer.size()));
  result.terminated = end != nullptr;
  result.text.assign(buffer.data(), end ? static_cast<size_t>(end - buffer.data()) : buffer.size());
  for (size_t i = buffer.size(); i > 0; --i) {
    if (static_cast<unsigned char>(buffer[i - 1]) != canary) {
      result.bytesWritten = i;
      break;
    }
  }
  result.untouched = result.bytesWritten == 0;
  if (result.untouched) {
    result.text.clear();
    result.terminated = false;
  }
  return result;
}

PluginInstance::PluginInstance(RecordingHost& host, VstPluginMainProc entry)
    : host(host), record(host.create(entry)) {}

PluginInstance::~PluginInstance() {
  if (record) close();
}

VstIntPtr PluginInstance::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) {
  return record->dispatcher(record, opcode, index, value, ptr, opt);
}

TextAnswer PluginInstance::dispatchText(VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                        size_t bufferSize, float opt) {
  std::vector<char> buffer(bufferSize, static_cast<char>(kCanary));
  const VstIntPtr answer = dispatch(opcode, index, value, buffer.data(), opt);
  TextAnswer result = readTextBuffer(buffer, kCanary);
  result.answer = answer;
  return result;
}

VstIntPtr PluginInstance::close() {
  AEffect* closing = record;
  record = nullptr;
  const VstIntPtr answer = closing->dispatcher(closing, effClose, 0, 0, nullptr, 0.0f);
  host.forget(closing);
  return answer;
}

void PluginInstance::setParameter(VstInt32 index, float value) {
  record->setParameter(record, index, value);
}

float PluginInstance::getParameter(VstInt32 index) {
  return record->getParameter(record, index);
}

ProcessResult PluginInstance::process(const StereoBuffer& input) {
  const size_t frames = std::min(input.left.size(), input.right.size());
  std::vector<float> inLeft = withCanary(input.left), inRight = withCanary(input.right);
  const std::vector<float> nan(frames, std::numeric_limits<float>::quiet_NaN());
  std::vector<float> outLeft = withCanary(nan), outRight = withCanary(nan);
  float* inputs[2] = {inLeft.data(), inRight.data()};
  float* outputs[2] = {outLeft.data(), outRight.data()};
  record->processReplacing(record, inputs, outputs, static_cast<VstInt32>(frames));

  ProcessResult result;
  result.inputsUnchanged =
      sameBits(inLeft, input.left, frames) && sameBits(inRight, input.right, frames);
  result.canariesIntact = canaryIntact(inLeft, frames) && canaryIntact(inRight, frames) &&
                          canaryIntact(outLeft, frames) && canaryIntact(outRight, frames);
  result.output.left.assign(outLeft.begin(), outLeft.begin() + static_cast<long>(frames));
  result.output.right.assign(outRight.begin(), outRight.begin() + static_cast<long>(frames));
  return result;
}

StereoBuffer PluginInstance::processInPlace(const StereoBuffer& input) {
  StereoBuffer buffer = input;
  const size_t frames = std::min(buffer.left.size(), buffer.right.size());
  float* channels[2] = {buffer.left.data(), buffer.right.data()};
  record->processReplacing(record, channels, channels, static_cast<VstInt32>(frames));
  return buffer;
}

StereoBuffer PluginInstance::processInBlocks(const StereoBuffer& input, size_t blockSize) {
  StereoBuffer joined;
  const size_t frames = std::min(input.left.size(), input.right.size());
  for (size_t start = 0; start < frames; start += blockSize) {
    const size_t length = std::min(blockSize, frames - start);
    StereoBuffer block;
    block.left.assign(input.left.begin() + static_cast<long>(start),
                      input.left.begin() + static_cast<long>(start + length));
    block.right.assign(input.right.begin() + static_cast<long>(start),
                       input.right.begin() + static_cast<long>(start + length));
    ProcessResult result = process(block);
    joined.left.insert(joined.left.end(), result.output.left.begin(), result.output.left.end());
    joined.right.insert(joined.right.end(), result.output.right.begin(), result.output.right.end());
  }
  return joined;
}

} // namespace hostkit
