# Windows build: Tarnwick.exe, the Win32 port tests and the end-to-end tests.
add_library(tarnwick_win32 STATIC ${TARNWICK_WIN32_SOURCES})
target_link_libraries(tarnwick_win32 PUBLIC tarnwick_core)
target_compile_options(tarnwick_win32 PRIVATE ${TARNWICK_WARNINGS})
target_compile_definitions(tarnwick_core PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
set(TARNWICK_WIN32_LIBS user32 gdi32 shell32 advapi32 comctl32 comdlg32 ole32 oleaut32 version)
target_link_libraries(tarnwick_win32 PUBLIC ${TARNWICK_WIN32_LIBS})

if(MINGW)
  # One self-contained executable: no libstdc++, libgcc or winpthread DLLs to ship.
  set(TARNWICK_STATIC_LINK -static -static-libgcc -static-libstdc++)
  target_link_options(tarnwick_win32 PUBLIC ${TARNWICK_STATIC_LINK})
elseif(MSVC)
  set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
endif()

add_executable(Tarnwick WIN32 ${CMAKE_SOURCE_DIR}/src/main_win32.cpp ${CMAKE_SOURCE_DIR}/resources/tarnwick.rc)
target_link_libraries(Tarnwick PRIVATE tarnwick_win32)
target_compile_options(Tarnwick PRIVATE ${TARNWICK_WARNINGS})
if(MINGW)
  # wWinMain is the entry point of the program; the test programs keep main.
  target_link_options(Tarnwick PRIVATE -mwindows -municode)
  # A release build ships without its symbol table (about a third the size).
  target_link_options(Tarnwick PRIVATE $<$<OR:$<CONFIG:Release>,$<CONFIG:MinSizeRel>>:-s>)
elseif(MSVC)
  # The manifest is resource 1 of type 24 in tarnwick.rc; the linker must not
  # add a second one.
  target_link_options(Tarnwick PRIVATE /MANIFEST:NO)
endif()
set_target_properties(Tarnwick PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# The shipped file's size, imports and stripping, where binutils can tell.
if(CMAKE_OBJDUMP AND CMAKE_BUILD_TYPE STREQUAL "Release")
  add_test(NAME exe.size_and_imports COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:Tarnwick>
    -DOBJDUMP=${CMAKE_OBJDUMP} -P ${CMAKE_SOURCE_DIR}/cmake/check_exe.cmake)
endif()

include(cmake/package.cmake)

# A picture to work on, which scripts/run opens beside the program.
add_executable(tarnwick_sample WIN32 ${CMAKE_SOURCE_DIR}/demo/sample_picture_win32.cpp)
target_compile_definitions(tarnwick_sample PRIVATE UNICODE _UNICODE)
target_link_libraries(tarnwick_sample PRIVATE user32 gdi32)
if(MINGW)
  target_link_options(tarnwick_sample PRIVATE ${TARNWICK_STATIC_LINK} -mwindows -municode)
endif()
set_target_properties(tarnwick_sample PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# GoogleTest from source: Debian's googletest package on Linux, or any
# checkout named by TARNWICK_GTEST_SOURCE on Windows.
set(TARNWICK_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest source tree")
if(EXISTS ${TARNWICK_GTEST_SOURCE}/CMakeLists.txt)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${TARNWICK_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

  file(GLOB TARNWICK_WIN32_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/*.cpp)
  # The save dialog's driver serves the end-to-end cases and, from a second
  # thread, the save dialog port's own tests.
  # The registry fake is held to the real port's reading of raw data.
  add_executable(tarnwick_win32_tests ${TARNWICK_WIN32_TEST_SOURCES} ${CMAKE_SOURCE_DIR}/tests/fakes/fakes.cpp
    ${CMAKE_SOURCE_DIR}/tests/fakes/fake_registry.cpp ${CMAKE_SOURCE_DIR}/tests/e2e/save_dialog_driver_win32.cpp)
  target_include_directories(tarnwick_win32_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(tarnwick_win32_tests PRIVATE tarnwick_win32 gtest gmock gtest_main)
  set_target_properties(tarnwick_win32_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

  file(GLOB TARNWICK_E2E_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*.cpp)
  if(TARNWICK_E2E_SOURCES)
    add_executable(tarnwick_e2e_tests ${TARNWICK_E2E_SOURCES})
    target_include_directories(tarnwick_e2e_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
    # The run also takes the pictures of the dialogs that the README shows.
    target_compile_definitions(tarnwick_e2e_tests PRIVATE UNICODE _UNICODE NOMINMAX
      TARNWICK_SCREENSHOT_DIR="${CMAKE_SOURCE_DIR}/docs/screenshots")
    target_link_libraries(tarnwick_e2e_tests PRIVATE gtest gmock gtest_main ${TARNWICK_WIN32_LIBS})
    if(MINGW)
      target_link_options(tarnwick_e2e_tests PRIVATE ${TARNWICK_STATIC_LINK})
    endif()
    set_target_properties(tarnwick_e2e_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    add_dependencies(tarnwick_e2e_tests Tarnwick)
  endif()

  include(cmake/wine_tests.cmake)
endif()
