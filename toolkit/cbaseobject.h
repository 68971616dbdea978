// Reference counting for bitmaps, views and frames. A new object holds one reference, owned
// by whoever created it. Used on the user-interface thread only.
#pragma once

#include <cstdint>

class CBaseObject {
public:
  CBaseObject() = default;
  CBaseObject(const CBaseObject&) = delete;
  CBaseObject& operator=(const CBaseObject&) = delete;

  // Adds a reference.
  void remember() { ++nbReference; }
  // Drops a reference; the last one deletes the object.
  void forget() {
    if (--nbReference == 0) delete this;
  }
  int32_t getNbReference() const { return nbReference; }

protected:
  virtual ~CBaseObject() = default;

private:
  int32_t nbReference = 1;
};
