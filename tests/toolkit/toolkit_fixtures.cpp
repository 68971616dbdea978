#include "toolkit_fixtures.h"

#include "pngwriter.h"
#include "test_seams.h"

uint32_t frameColour(int32_t frameIndex) {
  return makePixel(255, static_cast<uint32_t>(frameIndex * 7 % 256),
                   static_cast<uint32_t>(255 - frameIndex * 5 % 256), 0x40);
}

std::vector<unsigned char> filmstripPng(int32_t width, int32_t frameHeight, int32_t frames) {
  std::vector<unsigned char> rgba;
  for (int32_t frame = 0; frame < frames; ++frame) {
    const uint32_t colour = frameColour(frame);
    for (int32_t i = 0; i < width * frameHeight; ++i) {
      rgba.push_back(static_cast<unsigned char>(pixelRed(colour)));
      rgba.push_back(static_cast<unsigned char>(pixelGreen(colour)));
      rgba.push_back(static_cast<unsigned char>(pixelBlue(colour)));
      rgba.push_back(255);
    }
  }
  return encodePng(rgba.data(), width, frameHeight * frames);
}

std::vector<unsigned char> solidPng(int32_t width, int32_t height, unsigned char r, unsigned char g,
                                    unsigned char b, unsigned char a) {
  std::vector<unsigned char> rgba;
  for (int32_t i = 0; i < width * height; ++i)
    rgba.insert(rgba.end(), {r, g, b, a});
  return encodePng(rgba.data(), width, height);
}

PictureOverride::~PictureOverride() {
  restorePngResources();
}

void PictureOverride::set(int32_t id, std::vector<unsigned char> png) {
  replacePngResource(id, std::move(png));
}

void PictureOverride::makeMissing(int32_t id) {
  replacePngResource(id, {});
}

void RecordingListener::valueChanged(CControl* control) {
  values.push_back(control->getValue());
  journal.push_back("valueChanged " + std::to_string(control->getTag()));
}

void RecordingListener::controlBeginEdit(CControl* control) {
  journal.push_back("listener begin " + std::to_string(control->getTag()));
}

void RecordingListener::controlEndEdit(CControl* control) {
  journal.push_back("listener end " + std::to_string(control->getTag()));
}

int32_t RecordingListener::controlModifierClicked(CControl* control, CButtonState) {
  journal.push_back("modifierClicked " + std::to_string(control->getTag()));
  return modifierClickAnswer;
}

void RecordingEditorInterface::beginEdit(int32_t index) {
  journal.push_back("frame begin " + std::to_string(index));
}

void RecordingEditorInterface::endEdit(int32_t index) {
  journal.push_back("frame end " + std::to_string(index));
}

bool RecordingEditorInterface::beforeSizeChange(const CRect& newSize, const CRect&) {
  journal.push_back("beforeSizeChange " + std::to_string(static_cast<int>(newSize.getWidth())) +
                    "x" + std::to_string(static_cast<int>(newSize.getHeight())));
  return allowSizeChange;
}

CKeyCode key(unsigned char virt, unsigned char modifier) {
  CKeyCode code{0, virt, modifier};
  return code;
}
