// Names a picture among the library's resources by its integer id.
#pragma once

#include <cstdint>

class CResourceDescription {
public:
  explicit CResourceDescription(int32_t id) : id(id) {}

  int32_t id;
};
