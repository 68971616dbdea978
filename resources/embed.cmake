# Writes the table of the PNG pictures that exist in SOURCE_DIR into OUTPUT, a C++ file that
# pulls each picture into the library with the assembler's .incbin. A picture that does not
# exist has no entry. The file is rewritten only when a picture appears, disappears or changes
# (each entry carries the picture's hash), so an unchanged set compiles nothing.
# The set drawn at twice the size, NAME@2x.png, has the ids 201 to 208 (picturesets.h).
set(names front knob pickup toggle back tab boost setknob) # ids 1 to 8, in this order
set(files "")
set(ids "")
set(id 0)
foreach(name ${names})
  math(EXPR id "${id} + 1")
  math(EXPR large "${id} + 200")
  list(APPEND files "${name}.png" "${name}@2x.png")
  list(APPEND ids ${id} ${large})
endforeach()
set(assembly "")
set(declarations "")
set(entries "")
foreach(file id IN ZIP_LISTS files ids)
  set(file "${SOURCE_DIR}/${file}")
  if(NOT EXISTS "${file}")
    continue()
  endif()
  file(SHA256 "${file}" hash)
  set(label "sparkwell_png_${id}")
  string(APPEND assembly
    "    \".globl ${label}_begin\\n.hidden ${label}_begin\\n.globl ${label}_end\\n.hidden ${label}_end\\n\"\n"
    "    \".balign 16\\n${label}_begin:\\n.incbin \\\"${file}\\\"\\n${label}_end:\\n\" // ${hash}\n")
  string(APPEND declarations
    "extern \"C\" HIDDEN const unsigned char ${label}_begin[];\n"
    "extern \"C\" HIDDEN const unsigned char ${label}_end[];\n")
  string(APPEND entries "    {${id}, ${label}_begin, ${label}_end},\n")
endforeach()

set(content "// Generated at build time by resources/embed.cmake from resources/*.png.
#include \"${SOURCE_DIR}/pngresources.h\"

#define HIDDEN __attribute__((visibility(\"hidden\")))

asm(\".pushsection .rodata\\n\"
${assembly}    \".popsection\\n\");

${declarations}
namespace {

struct EmbeddedPng {
  int32_t id;
  const unsigned char* begin;
  const unsigned char* end;
};

const EmbeddedPng embeddedPngs[] = {
${entries}    {0, nullptr, nullptr}, // end of the table
};

} // namespace

PngResource findSystemPngResource(int32_t id) {
  for (const EmbeddedPng* png = embeddedPngs; png->begin != nullptr; ++png)
    if (png->id == id) return {png->begin, static_cast<size_t>(png->end - png->begin)};
  return {nullptr, 0};
}
")

set(previous "")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" previous)
endif()
if(NOT previous STREQUAL content)
  file(WRITE "${OUTPUT}" "${content}")
endif()
