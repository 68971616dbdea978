#include "cbitmap.h"

#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <tuple>

#include "cdrawcontext.h"
#include "picturesets.h"
#include "pngdecoder.h"
#include "pngresources.h"
#include "resample.h"

namespace {

// The pictures in use, decoded or resized, by the bytes they come from and the scale they are
// for. An entry only watches its image; the bitmaps own it, and the last one to go frees the
// pixels and the entry.
class DecodedPictures {
public:
  // The image for (png, scaleKey), made by `make` (a null answer: no picture) when no bitmap
  // holds it yet.
  template <typename Make>
  std::shared_ptr<const PixelImage> find(const PngResource& png, int32_t scaleKey, Make make) {
    const Key key(png.data, png.size, png.revision, scaleKey);
    // Making it under the lock as well: a picture wanted on several threads at once is still
    // made only once, and construction is never on the audio thread.
    std::lock_guard<std::mutex> lock(mutex);
    std::weak_ptr<const PixelImage>& entry = entries[key];
    if (std::shared_ptr<const PixelImage> shared = entry.lock()) return shared;
    try {
      std::unique_ptr<PixelImage> made = make();
      if (!made) {
        entries.erase(key);
        return nullptr;
      }
      // Until the entry is filled, the deleter only frees the pixels: when the shared pointer's
      // own allocation fails, it runs here, under the lock it would otherwise take again.
      std::shared_ptr<const PixelImage> shared(made.release(), Release{this, key, false});
      entry = shared;
      std::get_deleter<Release>(shared)->registered = true;
      return shared;
    } catch (...) {
      entries.erase(key);
      throw;
    }
  }

private:
  using Key = std::tuple<const unsigned char*, size_t, uint64_t, int32_t>;

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
    // Another thread may have made the picture again meanwhile; only a dead entry goes.
    const auto found = entries.find(key);
    if (found != entries.end() && found->second.expired()) entries.erase(found);
  }

  std::mutex mutex;
  std::map<Key, std::weak_ptr<const PixelImage>> entries;
};

std::unique_ptr<PixelImage> decoded(const PngResource& png) {
  std::unique_ptr<PixelImage> image(new PixelImage());
  if (!decodePng(png.data, png.size, *image)) return nullptr;
  return image;
}

// Scale factors are kept in hundredths in the table's keys; 1 is the decoded picture itself.
int32_t scaleKeyOf(double scale) {
  return static_cast<int32_t>(std::lround(scale * 100.0));
}

int32_t scaledLength(int32_t length, double scale) {
  return static_cast<int32_t>(std::lround(length * scale));
}

// Picture `id` for `scale`, from its size-1 image `base`: the set drawn at the density that is
// the factor or the next above it (the largest when none is), resized to the factor frame by
// frame unless it is the factor's own. A larger picture that is missing or of another size
// than twice `base` gives way to `base` itself.
std::unique_ptr<PixelImage> scaledPicture(int32_t id, const PixelImage& base, double scale) {
  int32_t frames = pictureFrames(id);
  if (frames <= 0 || base.height % frames != 0) frames = 1;
  const int32_t width = scaledLength(base.width, scale);
  const int32_t frameHeight = scaledLength(base.height / frames, scale);
  int32_t density = kLargestPictureDensity;
  for (int32_t candidate : kPictureDensities)
    if (candidate >= scale) {
      density = candidate;
      break;
    }
  std::unique_ptr<PixelImage> native;
  if (density > 1) {
    native = decoded(findPngResource(pictureIdAtDensity(id, density)));
    if (native &&
        (native->width != base.width * density || native->height != base.height * density))
      native.reset();
  }
  if (native && native->width == width && native->height == frameHeight * frames) return native;
  const PixelImage& source = native ? *native : base;
  std::unique_ptr<PixelImage> resized(
      new PixelImage(resampleFrames(source, frames, width, frameHeight)));
  if (resized->pixels.empty()) return nullptr;
  return resized;
}

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
  if (png.data != nullptr && png.size > 0)
    image = decodedPictures().find(png, scaleKeyOf(1.0), [&] { return decoded(png); });
}

const PixelImage& CBitmap::getImage() const {
  return image ? *image : emptyImage();
}

const PixelImage& CBitmap::getImageForScale(double scale) {
  if (scale == 1.0 || !image) return getImage();
  if (scale != scaledFor || !scaledImage) {
    scaledImage.reset();
    scaledFor = scale;
    const PngResource png = findPngResource(description.id);
    scaledImage = decodedPictures().find(
        png, scaleKeyOf(scale), [&] { return scaledPicture(description.id, *image, scale); });
  }
  return scaledImage ? *scaledImage : emptyImage();
}

void CBitmap::draw(CDrawContext* context, const CRect& destination, const CPoint& offset) {
  if (context == nullptr || !image || image->pixels.empty()) return;
  const double scale = context->getScale();
  if (scale == 1.0) {
    context->drawImage(*image, destination, offset);
    return;
  }
  const PixelImage& scaled = getImageForScale(scale);
  if (scaled.pixels.empty()) return;
  // The offset picks a filmstrip frame and a place in it; resized frames keep their own whole
  // heights, so the frame index carries over and only the place within it is scaled.
  int32_t frames = pictureFrames(description.id);
  if (frames <= 0 || image->height % frames != 0) frames = 1;
  const CCoord frameHeight = image->height / frames;
  const CCoord scaledFrameHeight = scaled.height / frames;
  const CCoord frame = std::floor(offset.y / frameHeight);
  const CPoint scaledOffset(offset.x * scale,
                            frame * scaledFrameHeight + (offset.y - frame * frameHeight) * scale);
  context->drawImage(scaled, deviceRect(destination, scale), scaledOffset);
}
