// Golden pictures of the editor's faces, kept in tests/editor/golden. A test compares what the
// plug-in draws with its golden picture pixel by pixel. The pictures are only ever rewritten on
// request: with SPARKWELL_REGENERATE_GOLDEN=1 in the environment the test writes what the
// plug-in draws now, reports it as skipped, and the new files are looked at before committing.
#pragma once

#include <string>

#include "panel_model.h"

namespace sparkwell_test {

bool regenerationRequested();
// Reads an RGB or RGBA PNG; false when the file is missing or unreadable.
bool readPng(const std::string& path, RgbImage& image);
bool writePng(const std::string& path, const RgbImage& image);

} // namespace sparkwell_test
