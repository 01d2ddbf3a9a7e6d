# GoogleTest cross-built from the Debian sources, run under Wine through CTest.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

set(CMAKE_CROSSCOMPILING_EMULATOR "${PROJECT_SOURCE_DIR}/scripts/wine-run")

# The product folder is filled by a test of its own, so every other test runs
# against what an installer would lay out.
add_test(NAME install_dist
  COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${FX_DIST_DIR})
set_tests_properties(install_dist PROPERTIES FIXTURES_SETUP dist)

# fx_gtest(<target> sources... [LIBS libs...])
function(fx_gtest target)
  cmake_parse_arguments(A "" "" "LIBS" ${ARGN})
  add_executable(${target} ${A_UNPARSED_ARGUMENTS})
  target_link_libraries(${target} PRIVATE gtest gtest_main ${A_LIBS})
  target_compile_definitions(${target} PRIVATE FX_DIST_DIR="${FX_DIST_DIR}")
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES FIXTURES_REQUIRED dist)
endfunction()
