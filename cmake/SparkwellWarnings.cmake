# Warnings. -Wall -Wextra -Werror hold for every target of the tree; sparkwell_warnings adds the
# ones that catch silent changes of value (a narrowing conversion, a float widened to double
# unasked) and names that hide another. Every library, test program and tool links it.
#
# Shadowing: GCC's plain -Wshadow also flags every constructor parameter named after the member
# it initialises, which is the toolkit's style and no mistake; -Wshadow=local keeps the cases
# where one local hides another. Clang's -Wshadow leaves constructor parameters alone already.
# Clang (the fuzzing build only) goes further than GCC in two places: its -Wconversion takes in
# sign conversions and its -Wdouble-promotion every widening initialisation. Both stay off
# there, so that code clean under GCC, which builds every other stage, is clean under clang.
add_compile_options(-Wall -Wextra -Werror)

add_library(sparkwell_warnings INTERFACE)
target_compile_options(sparkwell_warnings INTERFACE -Wconversion
  $<$<CXX_COMPILER_ID:GNU>:-Wdouble-promotion -Wshadow=local>
  $<$<NOT:$<CXX_COMPILER_ID:GNU>>:-Wshadow -Wno-sign-conversion>)

# Links the warnings into every compiled target defined in `dir` and the folders below it: the
# tests, tools and benchmarks get them without each folder naming them.
function(sparkwell_warn_targets_below dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY)$")
      set_property(TARGET ${target} APPEND PROPERTY LINK_LIBRARIES sparkwell_warnings)
    endif()
  endforeach()
  get_property(subdirectories DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdirectory ${subdirectories})
    sparkwell_warn_targets_below(${subdirectory})
  endforeach()
endfunction()
