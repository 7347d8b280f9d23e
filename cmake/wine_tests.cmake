# Tests of the Windows build. On Linux each runs under Wine through
# CMAKE_CROSSCOMPILING_EMULATOR (scripts/winerun): its own fresh prefix, its
# own Xvfb display and Wine virtual desktop, everything ended afterwards. So
# every ctest test below starts from a clean registry and an empty tray, and
# `ctest -j2` runs two of them side by side without either seeing the other.
include(GoogleTest)

set(TARNWICK_WINE_ROOT ${CMAKE_BINARY_DIR}/wine)
set(TARNWICK_WINE_ENV "TARNWICK_WINE_ROOT=${TARNWICK_WINE_ROOT}")

# Every wine test needs the template prefix that the copies come from. Making
# it (wineboot, ~15 s) is a test of its own, so that no other test's time limit
# pays for it and a broken Wine shows up as one clear failure.
if(CMAKE_CROSSCOMPILING_EMULATOR)
  add_test(NAME wine.prefix COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --prepare)
  set_tests_properties(wine.prefix PROPERTIES
    FIXTURES_SETUP tarnwick_wine_prefix TIMEOUT 300 ENVIRONMENT "${TARNWICK_WINE_ENV}")
endif()

# winerun ends the program itself a little before ctest would: ctest's own
# time limit kills with SIGKILL, which leaves no chance to clean up.
function(tarnwick_wine_test_properties timeout)
  math(EXPR inner "${timeout} - 10")
  set_tests_properties(${ARGN} PROPERTIES
    TIMEOUT ${timeout}
    ENVIRONMENT "${TARNWICK_WINE_ENV};TARNWICK_RUN_TIMEOUT=${inner}"
    # A filter that selects nothing passes in GoogleTest; here it fails.
    FAIL_REGULAR_EXPRESSION "Running 0 tests from")
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    set_tests_properties(${ARGN} PROPERTIES FIXTURES_REQUIRED tarnwick_wine_prefix)
  endif()
endfunction()

# One ctest test per GoogleTest suite: a fresh prefix per suite, at the cost
# of one Wine start (~1 s) each.
include(${CMAKE_SOURCE_DIR}/cmake/gtest_suites.cmake)
function(tarnwick_add_gtest_suites target prefix timeout)
  tarnwick_add_gtest_suites_of(${target} ${prefix} names ${ARGN})
  if(names)
    tarnwick_wine_test_properties(${timeout} ${names})
  endif()
endfunction()

if(TARGET tarnwick_win32_tests)
  tarnwick_add_gtest_suites(tarnwick_win32_tests win32 120 ${TARNWICK_WIN32_TEST_SOURCES})
endif()

if(TARGET tarnwick_e2e_tests)
  # Reads the items of another process's popup menu from inside that process
  # (see tests/e2e/menu_reader_win32.cpp for why); loaded into Tarnwick.exe.
  add_library(tarnwick_e2e_probe SHARED ${CMAKE_SOURCE_DIR}/tests/e2e/probe/menu_probe_win32.cpp)
  target_include_directories(tarnwick_e2e_probe PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(tarnwick_e2e_probe PRIVATE UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN)
  target_compile_options(tarnwick_e2e_probe PRIVATE ${TARNWICK_WARNINGS})
  target_link_libraries(tarnwick_e2e_probe PRIVATE user32)
  if(MINGW)
    target_link_options(tarnwick_e2e_probe PRIVATE -static -static-libgcc -static-libstdc++)
  endif()
  set_target_properties(tarnwick_e2e_probe PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

  target_compile_options(tarnwick_e2e_tests PRIVATE ${TARNWICK_WARNINGS})
  # The program's own texts (the help topics) are what the tests expect to see.
  target_link_libraries(tarnwick_e2e_tests PRIVATE tarnwick_core psapi)
  add_dependencies(tarnwick_e2e_tests tarnwick_e2e_probe)

  # One ctest test per end-to-end case: each case gets a fresh prefix, so a
  # Tarnwick.exe left in a bad state cannot spoil the next case.
  gtest_add_tests(TARGET tarnwick_e2e_tests SOURCES ${TARNWICK_E2E_SOURCES}
    TEST_PREFIX "e2e." TEST_LIST tarnwick_e2e_cases)
  if(tarnwick_e2e_cases)
    tarnwick_wine_test_properties(90 ${tarnwick_e2e_cases})
  endif()
endif()

# The soak: a thousand tool runs after one start, and the start-up latency
# and a run's memory at two desktop sizes. Minutes long, so outside the
# everyday run: label "soak", left out by scripts/test, run by scripts/soak.
if(TARGET tarnwick_e2e_tests)
  file(GLOB TARNWICK_E2E_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*_win32.cpp)
  list(FILTER TARNWICK_E2E_SUPPORT EXCLUDE REGEX "_test_win32\\.cpp$")
  add_executable(tarnwick_soak_tests ${CMAKE_SOURCE_DIR}/tests/soak/soak_test_win32.cpp ${TARNWICK_E2E_SUPPORT})
  target_include_directories(tarnwick_soak_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
  target_compile_definitions(tarnwick_soak_tests PRIVATE UNICODE _UNICODE NOMINMAX
    TARNWICK_SCREENSHOT_DIR="${CMAKE_SOURCE_DIR}/docs/screenshots")
  target_compile_options(tarnwick_soak_tests PRIVATE ${TARNWICK_WARNINGS})
  target_link_libraries(tarnwick_soak_tests PRIVATE gtest gmock gtest_main ${TARNWICK_WIN32_LIBS} psapi)
  if(MINGW)
    target_link_options(tarnwick_soak_tests PRIVATE ${TARNWICK_STATIC_LINK})
  endif()
  set_target_properties(tarnwick_soak_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  add_dependencies(tarnwick_soak_tests Tarnwick tarnwick_e2e_probe)

  add_test(NAME soak.runs COMMAND tarnwick_soak_tests --gtest_filter=Soak.AThousandRuns*)
  add_test(NAME soak.latency.1920x1080 COMMAND tarnwick_soak_tests --gtest_filter=Soak.FromAHotKey*)
  add_test(NAME soak.latency.3840x2160 COMMAND tarnwick_soak_tests --gtest_filter=Soak.FromAHotKey*)
  tarnwick_wine_test_properties(3600 soak.runs)
  tarnwick_wine_test_properties(300 soak.latency.1920x1080 soak.latency.3840x2160)
  set_tests_properties(soak.runs PROPERTIES LABELS soak)
  set_property(TEST soak.runs APPEND PROPERTY ENVIRONMENT "TARNWICK_DESKTOP=1920x1080")
  foreach(size 1920x1080 3840x2160)
    set_tests_properties(soak.latency.${size} PROPERTIES LABELS soak)
    set_property(TEST soak.latency.${size} APPEND PROPERTY ENVIRONMENT "TARNWICK_DESKTOP=${size}")
  endforeach()
endif()
