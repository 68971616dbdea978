# Sanitizer builds, for every target of the tree (libraries, the plug-in, tests and tools alike):
# SPARKWELL_SANITIZE=address (ASan with UBSan) or thread (TSan); empty for none.
set(SPARKWELL_SANITIZE "" CACHE STRING "Sanitizer build: 'address' (ASan + UBSan), 'thread' (TSan) or empty")
set_property(CACHE SPARKWELL_SANITIZE PROPERTY STRINGS "" address thread)
if(SPARKWELL_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
elseif(SPARKWELL_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT SPARKWELL_SANITIZE STREQUAL "")
  message(FATAL_ERROR "SPARKWELL_SANITIZE: '${SPARKWELL_SANITIZE}' is none of address, thread")
endif()
