// `snapshot FRONT BACK`: pictures of the editor's two faces with the current values. The
// editor is opened through the plug-in's private request for our tools and drawn into memory,
// then idled and closed like a host does it. The back face is reached the way a user reaches it,
// with a click on the "tweak" tab. `--scale S` draws the faces at the scale factor a host would
// send (2 gives 900 x 612 pictures).
#include "commands.h"
#include "memory_editor.h"
#include "numbers.h"
#include "parameter_settings.h"
#include "pending_file.h"
#include "plugin_host.h"
#include "tool_error.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <cstdio>
#include <vector>

namespace {

// A point inside the part of the tab the window shows (x 357..449, y 0..25).
constexpr double kTabX = 400.0;
constexpr double kTabY = 12.0;
// The face's width at factor 1; the picture's width over it is the factor it was drawn at.
constexpr double kUnscaledWidth = 450.0;

struct Face {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;
};

// The composed image as it stands after the last idle. The editor's image is opaque (the frame
// starts from black), so its premultiplied channels are the colours themselves.
Face takeFace(const hostkit::MemoryEditor& editor) {
  if (editor.pixels() == nullptr || editor.width() <= 0 || editor.height() <= 0)
    throw failure("the plug-in's editor drew nothing");
  Face face;
  face.width = editor.width();
  face.height = editor.height();
  const size_t count = static_cast<size_t>(face.width) * static_cast<size_t>(face.height);
  face.rgb.reserve(count * 3);
  for (size_t i = 0; i < count; ++i) {
    const uint32_t pixel = editor.pixels()[i];
    face.rgb.push_back(static_cast<unsigned char>(pixel >> 16));
    face.rgb.push_back(static_cast<unsigned char>(pixel >> 8));
    face.rgb.push_back(static_cast<unsigned char>(pixel));
  }
  return face;
}

// The face as PNG bytes, made in memory so that every write to the file can be checked.
std::vector<unsigned char> encodeFace(const Face& face) {
  std::vector<unsigned char> png;
  auto append = [](void* context, void* data, int size) {
    auto* bytes = static_cast<unsigned char*>(data);
    auto* into = static_cast<std::vector<unsigned char>*>(context);
    into->insert(into->end(), bytes, bytes + size);
  };
  if (!stbi_write_png_to_func(append, &png, face.width, face.height, 3, face.rgb.data(),
                              face.width * 3))
    throw failure("the picture of the editor could not be encoded as PNG");
  return png;
}

// Writes the face into its pending file and closes it; the file is not in place yet.
void writeFace(const Face& face, PendingFile& file) {
  std::vector<unsigned char> png = encodeFace(face);
  file.write(png.data(), png.size());
  file.finish();
}

void clickTab(hostkit::MemoryEditor& editor, double scale) {
  if (!editor.click(kTabX * scale, kTabY * scale))
    throw failure("the plug-in's editor takes no mouse input off-screen");
}

} // namespace

int runSnapshot(const ParsedArguments& arguments) {
  if (arguments.positionals.size() != 2)
    throw usageError("snapshot needs two picture files: snapshot FRONT.png BACK.png [options]");
  const std::string& frontPath = arguments.positionals[0];
  const std::string& backPath = arguments.positionals[1];
  if (sameDestination(frontPath, backPath)) {
    throw usageError("'" + frontPath + "' and '" + backPath +
                     "' are the same file: the two faces need two pictures");
  }

  std::unique_ptr<PluginHost> plugin = PluginHost::load(pluginPathFrom(arguments));
  applyProgramAndSettings(*plugin, arguments.option("program"), arguments.all("set"));
  double scale = 1.0;
  if (const std::optional<std::string> text = arguments.option("scale")) {
    const std::optional<double> value = parseDouble(*text);
    if (!value || *value < 1.0 || *value > 3.0)
      throw usageError("--scale takes a factor from 1 to 3, not '" + *text + "'");
    scale = *value;
  }

  Face front, back;
  {
    hostkit::MemoryEditor editor(plugin->instance(), static_cast<float>(scale));
    if (!editor.opened()) throw failure("the plug-in did not open its editor in memory");
    editor.idle();
    front = takeFace(editor);
    // The plug-in draws at the supported factor nearest to the one asked for: the tab is where
    // the picture's own size puts it.
    clickTab(editor, front.width / kUnscaledWidth);
    editor.idle();
    back = takeFace(editor);
  }

  // Both pictures or neither: each is complete in its temporary file before either replaces
  // what was there. A failure removes the temporary files and leaves earlier pictures alone.
  PendingFile frontFile(frontPath);
  PendingFile backFile(backPath);
  writeFace(front, frontFile);
  writeFace(back, backFile);
  frontFile.moveIntoPlace();
  backFile.moveIntoPlace();
  std::printf("front face: %s (%d x %d)\nback face: %s (%d x %d)\n", frontPath.c_str(), front.width,
              front.height, backPath.c_str(), back.width, back.height);
  return kExitOk;
}
