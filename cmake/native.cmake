# Native build: the platform-free library, its unit tests and the benchmarks.
find_package(GTest REQUIRED)

# The fuzz targets (tests/fuzz, without their libFuzzer entry) run in the
# unit layer too, on fixed seeds.
# tests/support holds what the unit tests share with the benchmarks, and
# only the programs that want it: its counting operator new is the program's.
file(GLOB TARNWICK_TEST_SUPPORT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
file(GLOB TARNWICK_UNIT_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp ${CMAKE_SOURCE_DIR}/tests/fakes/*.cpp ${CMAKE_SOURCE_DIR}/tests/fuzz/*.cpp
  ${TARNWICK_TEST_SUPPORT_SOURCES})
add_executable(tarnwick_unit_tests ${TARNWICK_UNIT_SOURCES})
target_include_directories(tarnwick_unit_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
# 100,000 cases per fuzz target: their harness is optimised even in a Debug
# build (the program code they drive is not).
file(GLOB TARNWICK_FUZZ_HARNESS_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*.cpp)
list(APPEND TARNWICK_FUZZ_HARNESS_SOURCES ${CMAKE_SOURCE_DIR}/tests/fakes/fake_registry.cpp)
set_source_files_properties(${TARNWICK_FUZZ_HARNESS_SOURCES} PROPERTIES COMPILE_OPTIONS -O1)
# The fuzz seeds include the program's stored icon lists.
target_compile_definitions(tarnwick_unit_tests PRIVATE TARNWICK_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
# GoogleTest's assertion macros expand to if-else; inside an unbraced if
# they trip -Wdangling-else although nothing is ambiguous.
target_compile_options(tarnwick_unit_tests PRIVATE ${TARNWICK_WARNINGS} -Wno-dangling-else)
target_link_libraries(tarnwick_unit_tests PRIVATE tarnwick_core GTest::gtest GTest::gmock GTest::gtest_main)
include(${CMAKE_SOURCE_DIR}/cmake/gtest_suites.cmake)
file(GLOB TARNWICK_UNIT_TEST_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
tarnwick_add_gtest_suites_of(tarnwick_unit_tests unit tarnwick_unit_suites ${TARNWICK_UNIT_TEST_FILES})

if(TARNWICK_BENCH)
  find_package(benchmark REQUIRED)
  # The fakes and the counting operator new are compiled once for all of
  # them; an object library, so that operator new is always linked in.
  add_library(tarnwick_bench_support OBJECT ${CMAKE_SOURCE_DIR}/tests/fakes/fakes.cpp ${TARNWICK_TEST_SUPPORT_SOURCES})
  target_include_directories(tarnwick_bench_support PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_compile_options(tarnwick_bench_support PRIVATE ${TARNWICK_WARNINGS})
  target_link_libraries(tarnwick_bench_support PRIVATE tarnwick_core)
  file(GLOB TARNWICK_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
  foreach(src IN LISTS TARNWICK_BENCH_SOURCES)
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src} $<TARGET_OBJECTS:tarnwick_bench_support>)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_compile_options(${name} PRIVATE ${TARNWICK_WARNINGS})
    target_link_libraries(${name} PRIVATE tarnwick_core benchmark::benchmark benchmark::benchmark_main)
  endforeach()
endif()

# The committed icons and cursors must match their text sources and formats.
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
  add_test(NAME resources.check COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/resources/check_resources.py)
endif()

# The source folders keep their order: nothing includes a folder above its
# own, and no platform-free file reaches <windows.h>.
add_test(NAME source.include_order
         COMMAND ${CMAKE_COMMAND} -DSRC=${CMAKE_SOURCE_DIR}/src -P ${CMAKE_SOURCE_DIR}/cmake/check_includes.cmake)
