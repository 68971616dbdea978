// The lookup the toolkit's bitmaps use. It is the only definition in this file, so that a test
// program can put its own lookup in its place at link time (tests/support/test_seams.h); the
// plug-in has this one and nothing else.
#include "pngresources.h"

PngResource findPngResource(int32_t id) {
  return findSystemPngResource(id);
}
