# libFuzzer build: one executable per fuzz target of tests/fuzz, everything
# instrumented for coverage and checked by AddressSanitizer and UBSan.
# scripts/fuzz builds and runs them; the normal builds never include this.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "TARNWICK_FUZZ needs clang (cmake --preset fuzz)")
endif()

set(TARNWICK_FUZZ_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
target_compile_options(tarnwick_core PUBLIC ${TARNWICK_FUZZ_FLAGS} -fsanitize=fuzzer-no-link)
target_link_options(tarnwick_core PUBLIC ${TARNWICK_FUZZ_FLAGS})

file(GLOB TARNWICK_FUZZ_HARNESS CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/tests/fuzz/*.cpp ${CMAKE_SOURCE_DIR}/tests/fakes/*.cpp)
add_library(tarnwick_fuzz_harness STATIC ${TARNWICK_FUZZ_HARNESS})
target_include_directories(tarnwick_fuzz_harness PUBLIC ${CMAKE_SOURCE_DIR}/tests)
target_compile_definitions(tarnwick_fuzz_harness PRIVATE TARNWICK_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_compile_options(tarnwick_fuzz_harness PRIVATE ${TARNWICK_WARNINGS})
target_link_libraries(tarnwick_fuzz_harness PUBLIC tarnwick_core)

# Executable name and the target's getter.
set(TARNWICK_FUZZ_TARGETS
  registry_settings RegistrySettingsTarget
  registry_text RegistryTextTarget
  icon_list IconListTarget
  command_line CommandLineTarget
  gdiplus_library GdiplusLibraryTarget)
set(names)
while(TARNWICK_FUZZ_TARGETS)
  list(POP_FRONT TARNWICK_FUZZ_TARGETS name getter)
  add_executable(fuzz_${name} ${CMAKE_SOURCE_DIR}/tests/fuzz/libfuzzer/entry.cpp)
  target_compile_definitions(fuzz_${name} PRIVATE TARNWICK_FUZZ_TARGET=${getter})
  target_compile_options(fuzz_${name} PRIVATE ${TARNWICK_WARNINGS})
  target_link_libraries(fuzz_${name} PRIVATE tarnwick_fuzz_harness)
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  list(APPEND names ${name})
endwhile()
# scripts/fuzz reads the list from here.
file(WRITE ${CMAKE_BINARY_DIR}/fuzz_targets.txt "${names}\n")
