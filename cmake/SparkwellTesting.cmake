# Test helpers shared by every folder under tests/.
#
# sparkwell_add_gtest(<target> [LABELS <label>...] [PROPERTIES <name> <value>...])
#   Registers every test case of a GoogleTest program as its own ctest entry, named
#   <target>.<Suite>.<Case>, so `ctest -R <target>` still selects the whole program. The cases
#   are listed when ctest runs (under the cross-compiling emulator for the Windows build).
#
# sparkwell_add_host_test(<name> <sources>... [LABELS <label>...] [PROPERTIES ...])
#   A GoogleTest program that drives the built plug-in module through its exported entry point
#   with the test host of tests/support (plugin_host.h). SPARKWELL_PLUGIN_PATH names the module;
#   the program is rebuilt after the module and registered case by case.
find_package(GTest REQUIRED)
include(GoogleTest)

function(sparkwell_add_gtest target)
  cmake_parse_arguments(ARG "" "" "LABELS;PROPERTIES" ${ARGN})
  set(properties ${ARG_PROPERTIES})
  if(ARG_LABELS)
    list(APPEND properties LABELS "${ARG_LABELS}")
  endif()
  gtest_discover_tests(${target} TEST_PREFIX "${target}." DISCOVERY_MODE PRE_TEST
                       DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
endfunction()

function(sparkwell_add_host_test name)
  cmake_parse_arguments(ARG "" "" "LABELS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE sparkwell_testhost GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE SPARKWELL_PLUGIN_PATH="$<TARGET_FILE:sparkwell>")
  add_dependencies(${name} sparkwell)
  sparkwell_add_gtest(${name} LABELS ${ARG_LABELS} PROPERTIES ${ARG_PROPERTIES})
endfunction()
