# Test helpers shared by every folder under tests/.
#
# sparkwell_add_host_test(<name> <sources>... [LABELS <label>...])
#   A GoogleTest program that drives the built plug-in module through its exported entry point
#   with the test host of tests/support (plugin_host.h). SPARKWELL_PLUGIN_PATH names the module;
#   the program is rebuilt after the module and registered with ctest.
find_package(GTest REQUIRED)

function(sparkwell_add_host_test name)
  cmake_parse_arguments(ARG "" "" "LABELS" ${ARGN})
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE sparkwell_testhost GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE SPARKWELL_PLUGIN_PATH="$<TARGET_FILE:sparkwell>")
  add_dependencies(${name} sparkwell)
  add_test(NAME ${name} COMMAND ${name})
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()
