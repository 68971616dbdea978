#include "cbitmap.h"

#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <tuple>

#include "cdrawcontext.h"
#include "pngdecoder.h"
#include "pngresources.h"

namespace {

// The decoded pictures in use, by the bytes they were decoded from. An entry only watches its
// image; the bitmaps own it, and the last one to go frees the pixels and the entry.
class DecodedPictures {
public:
  std::shared_ptr<const PixelImage> find(const PngResource& png) {
    const Key key(png.data, png.size, png.revision);
    // Decoding under the lock as well: a picture wanted on several threads at once is still
    // decoded only once, and construction is never on the audio thread.
    std::lock_guard<std::mutex> lock(mutex);
    std::weak_ptr<const PixelImage>& entry = entries[key];
    if (std::shared_ptr<const PixelImage> shared = entry.lock()) return shared;
    try {
      std::unique_ptr<PixelImage> decoded(new PixelImage());
      if (!decodePng(png.data, png.size, *decoded)) {
        entries.erase(key);
        return nullptr;
      }
      // Until the entry is filled, the deleter only frees the pixels: when the shared pointer's
      // own allocation fails, it runs here, under the lock it would otherwise take again.
      std::shared_ptr<const PixelImage> shared(decoded.release(), Release{this, key, false});
      entry = shared;
      std::get_deleter<Release>(shared)->registered = true;
      return shared;
    } catch (...) {
      entries.erase(key);
      throw;
    }
  }

private:
  using Key = std::tuple<const unsigned char*, size_t, uint64_t>;

  struct Release {
    DecodedPictures* table;
    Key key;
    bool registered;
    void operator()(const PixelImage* last) const {
      if (registered)
        table->release(key, last);
      else
        delete last;
    }
  };

  void release(const Key& key, const PixelImage* last) {
    delete last;
    std::lock_guard<std::mutex> lock(mutex);
    // Another thread may have decoded the picture again meanwhile; only a dead entry goes.
    const auto found = entries.find(key);
    if (found != entries.end() && found->second.expired()) entries.erase(found);
  }

  std::mutex mutex;
  std::map<Key, std::weak_ptr<const PixelImage>> entries;
};

DecodedPictures& decodedPictures() {
  // Never destroyed, so a bitmap released during the process's exit still finds it; and in the
  // module's own storage rather than on the heap, so unloading the module leaves nothing behind
  // (with no picture in use, the table holds no memory of its own).
  alignas(DecodedPictures) static unsigned char storage[sizeof(DecodedPictures)];
  static DecodedPictures* pictures = new (storage) DecodedPictures();
  return *pictures;
}

const PixelImage& emptyImage() {
  static const PixelImage empty;
  return empty;
}

} // namespace

CBitmap::CBitmap(const CResourceDescription& description) : description(description) {
  const PngResource png = findPngResource(description.id);
  if (png.data != nullptr && png.size > 0) image = decodedPictures().find(png);
}

const PixelImage& CBitmap::getImage() const {
  return image ? *image : emptyImage();
}

void CBitmap::draw(CDrawContext* context, const CRect& destination, const CPoint& offset) {
  if (context == nullptr || !image || image->pixels.empty()) return;
  context->drawImage(*image, destination, offset);
}
